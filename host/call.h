// One call of a command as the stand-in host makes it, parsed from words
// given on the command line or on a line of a script.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct BufferSpec
{
    bool null = false;
    bool contentGiven = false;
    std::string content;         // bytes placed at the start of the buffer
    bool sizeGiven = false;
    int64_t size = 0; // the size argument when given; by default the content's length
    bool fromPrevious = false; // buffer 1 of a script's previous call, passed on
};

struct CallSpec
{
    std::string command;
    std::optional<std::string> text; // no text: a null pointer
    double value = 0;
    BufferSpec buffer1;
    BufferSpec buffer2;
    bool nullHost = false;
};

// A buffer as the host passes it: as large as the size it announces (or its
// content, when a script announces less), and no larger, so that the
// sanitizers see any write past it. The pointer is null for a null buffer.
struct HostBuffer
{
    std::unique_ptr<char[]> bytes;
    size_t capacity = 0;
    bool null = false;
    int32_t size = 0;

    char* data() { return null ? nullptr : bytes.get(); }
};

HostBuffer makeBuffer(const BufferSpec& request);

// What a later call's --buf1-from-previous receives of this buffer: its text
// up to the first NUL (all of it when it holds none) with a NUL, and its size.
BufferSpec passOn(const HostBuffer& buffer);

// Splits a script line into words: blanks separate them, "..." groups with
// the escapes \n \t \0 \\ \" inside, '...' groups literally, and a # outside
// quotes starts a comment. False with a message on an unterminated quote or
// an unknown escape.
bool splitScriptLine(std::string_view line, std::vector<std::string>& words, std::string& error);

// Parses COMMAND and its options: --text T, --value V, --buf1 TEXT,
// --list ENTRY..., --buf1-size N, --no-buf1, the same for buf2,
// --buf1-from-previous, --no-host.
bool parseCall(const std::vector<std::string>& words, CallSpec& call, std::string& error);

// Formats a float result the shortest way that reads back the same.
std::string formatResult(float result);

// Buffer text up to its NUL within size, with control bytes escaped.
std::string quoteBuffer(const char* data, int32_t size);
