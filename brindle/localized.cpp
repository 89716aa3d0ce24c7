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

// Whether the "%" at text[start] opens the placeholder %ARGn%, each of A,
// R, G in either case. at is left on its closing "%", else on the byte that
// breaks the pattern, which is passed over and cannot open a placeholder.
static bool matchPlaceholder(const std::string& text, size_t start, int32_t n, size_t& at)
{
    at = start + 1;
    for (char letter : {'A', 'R', 'G'})
    {
        if (at >= text.size() || !isLetter(text[at], letter))
            return false;
        at++;
    }
    int64_t number = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
    {
        // Saturate: a number this large can match no argument anyway.
        if (number <= INT32_MAX)
            number = number * 10 + (text[at] - '0');
        at++;
    }
    // A "%" that closes a placeholder of another number does not open one.
    return at < text.size() && text[at] == '%' && number == n;
}

bool replaceArgPlaceholders(std::string& text, int32_t n, const std::string& replacement, size_t limit)
{
    // The result is built once, left to right: scanning goes on after each
    // placeholder, exactly where it would go on after the inserted
    // replacement, and it stops as soon as the result would pass the limit.
    std::string result;
    bool replaced = false;
    size_t copied = 0; // text before this is in result
    size_t i = 0;
    while (i < text.size())
    {
        size_t start = text.find('%', i);
        if (start == std::string::npos)
            break;
        size_t at = start;
        if (matchPlaceholder(text, start, n, at))
        {
            if (result.size() + (start - copied) + replacement.size() > limit)
                return false;
            result.append(text, copied, start - copied).append(replacement);
            replaced = true;
            copied = at + 1;
        }
        i = at + 1;
    }
    if (!replaced || result.size() + (text.size() - copied) > limit)
        return false;
    result.append(text, copied, std::string::npos);
    text.swap(result);
    return true;
}

float strReplaceArg(const char* replacement, double value, char* buffer1, int32_t buffer1Size)
{
    // The size is tested before buffer 1 is read at all.
    if (!replacement || !buffer1 || buffer1Size <= 0 || buffer1[0] == '\0')
        return -1;
    // The text must end inside the buffer, and the edited text must fit in
    // it: the host's buffer is never written past its size.
    size_t capacity = size_t(buffer1Size);
    size_t length = strnlen(buffer1, capacity);
    if (length == capacity)
        return -1;
    std::string text(buffer1, length);
    if (!replaceArgPlaceholders(text, truncToInt(value), replacement, capacity - 1))
        return -1;
    memcpy(buffer1, text.c_str(), text.size() + 1);
    return 0;
}
