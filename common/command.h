// The convention every exported command shares.
#pragma once

#include "host.h"

#include <cstdint>
#include <string>

using HostCommandEntry = float (*)(const char* text, double value, char* buffer1, int32_t buffer1Size,
                                   char* buffer2, int32_t buffer2Size, HostContext* host);

#if defined(_WIN32)
// The module definition file made from the command table says what a DLL
// exports; nothing is exported by attribute.
#define TESMAR_EXPORT
#else
#define TESMAR_EXPORT __attribute__((visibility("default")))
#endif

// Calls a command's body; an exception that leaves it (memory running out,
// say) answers -1 instead of reaching the host, which cannot take one.
float guardCommand(HostCommandEntry body, const char* text, double value, char* buffer1, int32_t buffer1Size,
                   char* buffer2, int32_t buffer2Size, HostContext* host) noexcept;

// One enumerator per row of the command table, so that a command the table
// does not list fails to compile.
namespace command_rows
{
enum Row
{
#define COMMAND(name, libraries, arguments) name,
#define SYMBOL(name, libraries, kind)
#include "command_list.h"
#undef COMMAND
#undef SYMBOL
};
}

// Defines an exported command: its body, run behind guardCommand. Each
// command reads only some of its arguments; its name must have a row in
// common/command_list.h.
#define HOST_COMMAND(name)                                                                                      \
    static_assert(command_rows::name >= 0, #name " has a row in common/command_list.h");                      \
    static float name##Body(const char*, double, char*, int32_t, char*, int32_t, HostContext*);               \
    extern "C" TESMAR_EXPORT float name(const char* text, double value, char* buffer1, int32_t buffer1Size,   \
                                        char* buffer2, int32_t buffer2Size, HostContext* host)                \
    {                                                                                                           \
        return guardCommand(name##Body, text, value, buffer1, buffer1Size, buffer2, buffer2Size, host);       \
    }                                                                                                           \
    static float name##Body([[maybe_unused]] const char* text, [[maybe_unused]] double value,                 \
                            [[maybe_unused]] char* buffer1, [[maybe_unused]] int32_t buffer1Size,             \
                            [[maybe_unused]] char* buffer2, [[maybe_unused]] int32_t buffer2Size,             \
                            [[maybe_unused]] HostContext* host)

// A command's number as an integer: truncated toward zero. Values outside the
// 32-bit range saturate and NaN counts as 0, so no value is undefined.
int32_t truncToInt(double value);

// A required text is missing when null or empty.
inline bool textMissing(const char* text)
{
    return text == nullptr || text[0] == '\0';
}

// The text in buffer 1 read within its size: up to its NUL, or all of its
// size when no NUL comes first. Empty for a null buffer or a size that is not
// positive.
std::string textWithin(const char* buffer1, int32_t buffer1Size);

// Writes a NUL-terminated text into buffer 1, cut to at most size - 1 bytes
// and a NUL when it does not fit, between two UTF-8 characters (see
// utf8Character). Bytes after the terminator are left as they were.
// False, with nothing written, when the buffer is null or its size not positive.
bool writeTextResult(const char* text, char* buffer1, int32_t buffer1Size);

// Writes the whole text with its NUL when it fits; otherwise buffer 1 is left
// as it was and the answer is false, as for a null buffer and a size that is
// not positive.
bool writeIfRoom(const std::string& text, char* buffer1, int32_t buffer1Size);

// The same, except that a text that does not fit leaves an empty text in
// buffer 1 (when it has room for the NUL).
bool writeWholeText(const std::string& text, char* buffer1, int32_t buffer1Size);
