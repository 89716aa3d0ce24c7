// The record the host hands every command, and its table of services.
#pragma once

#include <cstddef>
#include <cstdint>

// Entries are numbered from 0; only those the libraries call are named.
// Host booleans are read through their lowest byte only, so they are declared
// as unsigned char: whatever the host leaves in the upper bits is ignored.
struct HostCallbackTable
{
    unsigned char (*renameButton)(const char* text, char* buffer1, int32_t zero);                 // 0
    int32_t (*showDropdown)(const char* title, int32_t count, char** items, int32_t selected,
                            int32_t a, int32_t b);                                                  // 1
    void (*renameSetNext)(const char* text);                                                        // 2
    int32_t (*appendNewSubTool)(const char* text);                                                  // 3
    int32_t (*currentLanguage)();                                                                   // 4
    void (*registerLocalizationFile)(const char* path);                                             // 5
    const char* (*localizedText)(const char* key);                                                  // 6
    const char* (*localizedTitle)(const char* key);                                                 // 7
    const char* (*localizedInfo)(const char* key);                                                  // 8
    const char* (*localizedDescr)(const char* key);                                                 // 9
    void* unused10to16[7];
    unsigned char (*changeButtonIcon)(const char* text, char* buffer1, int32_t icon);              // 17
    float (*dropdownGetSize)(int32_t selector, double value, const char* text, char* buffer1,
                             int32_t buffer1Size, char* buffer2, int32_t buffer2Size);              // 18
};

// The libraries read only the tenth pointer-sized field of the host's record.
struct HostContext
{
    void* hostFields[9];
    HostCallbackTable* callbacks;
};

static_assert(offsetof(HostContext, callbacks) == 9 * sizeof(void*));
static_assert(offsetof(HostCallbackTable, changeButtonIcon) == 17 * sizeof(void*));
static_assert(offsetof(HostCallbackTable, dropdownGetSize) == 18 * sizeof(void*));

// The host always passes a context and a table, but a command must not crash
// when a caller does not: null here makes the command answer -1.
inline const HostCallbackTable* hostCallbacks(const HostContext* host)
{
    return host ? host->callbacks : nullptr;
}
