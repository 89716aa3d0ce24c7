#include "brindle.h"

#include <cstring>

float getCurrentLanguage(const HostContext* host)
{
    const HostCallbackTable* callbacks = hostCallbacks(host);
    if (!callbacks || !callbacks->currentLanguage)
        return -1;
    return float(callbacks->currentLanguage());
}

float registerLocalizationFile(const char* text, const HostContext* host)
{
    const HostCallbackTable* callbacks = hostCallbacks(host);
    if (textMissing(text) || !callbacks || !callbacks->registerLocalizationFile)
        return -1;
    callbacks->registerLocalizationFile(text);
    return 0;
}

static const char* (*localizedEntry(const HostCallbackTable& callbacks, LocalizedKind kind))(const char*)
{
    switch (kind)
    {
    case LocalizedText:
        return callbacks.localizedText;
    case LocalizedTitle:
        return callbacks.localizedTitle;
    case LocalizedInfo:
        return callbacks.localizedInfo;
    case LocalizedDescr:
        return callbacks.localizedDescr;
    }
    return nullptr;
}

float getLocalized(LocalizedKind kind, const char* key, char* buffer1, int32_t buffer1Size, const HostContext* host)
{
    if (textMissing(key) || buffer1Size <= 0 || !buffer1)
        return -1;
    const HostCallbackTable* callbacks = hostCallbacks(host);
    const char* (*entry)(const char*) = callbacks ? localizedEntry(*callbacks, kind) : nullptr;
    if (!entry)
        return -1;
    const char* answer = entry(key);
    if (!answer)
        return -1;
    writeTextResult(answer, buffer1, buffer1Size);
    return 0;
}

static bool isLetter(char c, char upper)
{
    return c == upper || c == upper + ('a' - 'A');
}

bool replaceArgPlaceholders(std::string& text, int32_t n, const std::string& replacement)
{
    bool replaced = false;
    size_t i = 0;
    for (;;)
    {
        size_t start = text.find('%', i);
        if (start == std::string::npos)
            return replaced;
        // Each of A, R, G may be in either case; a byte that breaks the
        // pattern is passed over and cannot open a placeholder itself.
        size_t at = start + 1;
        bool letters = true;
        for (char letter : {'A', 'R', 'G'})
        {
            if (at >= text.size())
                return replaced;
            if (!isLetter(text[at], letter))
            {
                letters = false;
                break;
            }
            at++;
        }
        if (!letters)
        {
            i = at + 1;
            continue;
        }
        int64_t number = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9')
        {
            // Saturate: a number this large can match no argument anyway.
            if (number <= INT32_MAX)
                number = number * 10 + (text[at] - '0');
            at++;
        }
        if (at >= text.size())
            return replaced;
        // A "%" that closes a placeholder of another number does not open one.
        if (text[at] != '%' || number != n)
        {
            i = at + 1;
            continue;
        }
        text.replace(start, at + 1 - start, replacement);
        replaced = true;
        i = start + replacement.size();
    }
}

float strReplaceArg(const char* replacement, double value, char* buffer1, int32_t buffer1Size)
{
    if (!replacement || textMissing(buffer1) || buffer1Size <= 0)
        return -1;
    // The text must end inside the buffer, and the edited text must fit in
    // it: the host's buffer is never written past its size.
    size_t capacity = size_t(buffer1Size);
    size_t length = strnlen(buffer1, capacity);
    if (length == capacity)
        return -1;
    std::string text(buffer1, length);
    if (!replaceArgPlaceholders(text, truncToInt(value), replacement))
        return -1;
    if (text.size() + 1 > capacity)
        return -1;
    memcpy(buffer1, text.c_str(), text.size() + 1);
    return 0;
}
