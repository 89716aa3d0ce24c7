#include "brindle.h"

#include <cstring>

float renameButton(const char* text, char* buffer1, const HostContext* host)
{
    if (!text || textMissing(buffer1))
        return -1;
    const HostCallbackTable* callbacks = hostCallbacks(host);
    if (!callbacks || !callbacks->renameButton)
        return -1;
    return callbacks->renameButton(text, buffer1, 0) ? 0 : -1;
}

float changeButtonIcon(const char* text, double value, char* buffer1, const HostContext* host)
{
    if (!text || textMissing(buffer1))
        return -1;
    const HostCallbackTable* callbacks = hostCallbacks(host);
    if (!callbacks || !callbacks->changeButtonIcon)
        return -1;
    return callbacks->changeButtonIcon(text, buffer1, truncToInt(value)) ? 0 : -1;
}

float renameSetNext(const char* text, const HostContext* host)
{
    const HostCallbackTable* callbacks = hostCallbacks(host);
    if (textMissing(text) || !callbacks || !callbacks->renameSetNext)
        return -1;
    callbacks->renameSetNext(text);
    return 0;
}

float appendNewSubTool(const char* text, const HostContext* host)
{
    const HostCallbackTable* callbacks = hostCallbacks(host);
    if (!callbacks || !callbacks->appendNewSubTool)
        return -1;
    return float(callbacks->appendNewSubTool(text));
}

using StoredCallback = void (*)(const char* text, char* buffer1, int32_t buffer1Size, char* buffer2,
                                int32_t buffer2Size, HostContext* host);

float executeCallback(const char* text, double value, char* buffer1, int32_t buffer1Size, char* buffer2,
                      int32_t buffer2Size, HostContext* host)
{
    // The address must lie wholly inside buffer 1. The test is made on the
    // value before truncation, so 2.5 does not pass where 2 just does; written
    // so that NaN fails it too.
    if (!buffer1 || !(double(buffer1Size) >= value + 8))
        return -1;
    int32_t offset = truncToInt(value);
    if (offset < 0)
        return -1;
    StoredCallback function = nullptr;
    memcpy(&function, buffer1 + offset, sizeof(function));
    if (!function)
        return -1;
    function(text, buffer1, buffer1Size, buffer2, buffer2Size, host);
    return 0;
}

float dropdownGetSize(Dropdown* dropdown, const char* text, double value, char* buffer1, int32_t buffer1Size,
                      char* buffer2, int32_t buffer2Size, const HostContext* host)
{
    int32_t selector = truncToInt(value);
    if (selector == 0)
        return dropdownGetCount(dropdown);
    const HostCallbackTable* callbacks = hostCallbacks(host);
    if (!callbacks || !callbacks->dropdownGetSize)
        return -1;
    return callbacks->dropdownGetSize(selector, value, text, buffer1, buffer1Size, buffer2, buffer2Size);
}
