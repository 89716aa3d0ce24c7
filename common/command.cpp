#include "command.h"
#include "utf8.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

int32_t truncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (value >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return int32_t(value);
}

float guardCommand(HostCommandEntry body, const char* text, double value, char* buffer1, int32_t buffer1Size,
                   char* buffer2, int32_t buffer2Size, HostContext* host) noexcept
{
    try
    {
        return body(text, value, buffer1, buffer1Size, buffer2, buffer2Size, host);
    }
    catch (...)
    {
        return -1;
    }
}

std::string textWithin(const char* buffer1, int32_t buffer1Size)
{
    if (buffer1 == nullptr || buffer1Size <= 0)
        return std::string();
    return std::string(buffer1, strnlen(buffer1, size_t(buffer1Size)));
}

bool writeTextResult(const char* text, char* buffer1, int32_t buffer1Size)
{
    if (buffer1 == nullptr || buffer1Size <= 0 || text == nullptr)
        return false;
    size_t size = size_t(buffer1Size);
    size_t length = strnlen(text, size);
    if (length < size)
    {
        memcpy(buffer1, text, length + 1);
        return true;
    }
    // A character that would not fit whole is left out: the cut text ends
    // between characters, never inside one. A character is at most 4 bytes.
    std::string_view rest(text, strnlen(text, size + 3));
    size_t cut = 0;
    while (cut < rest.size())
    {
        size_t next = cut + utf8Character(rest.substr(cut)).length;
        if (next > size - 1)
            break;
        cut = next;
    }
    memcpy(buffer1, text, cut);
    buffer1[cut] = '\0';
    return true;
}

bool writeIfRoom(const std::string& text, char* buffer1, int32_t buffer1Size)
{
    if (buffer1 == nullptr || buffer1Size <= 0 || text.size() >= size_t(buffer1Size))
        return false;
    memcpy(buffer1, text.c_str(), text.size() + 1);
    return true;
}

bool writeWholeText(const std::string& text, char* buffer1, int32_t buffer1Size)
{
    if (writeIfRoom(text, buffer1, buffer1Size))
        return true;
    if (buffer1 != nullptr && buffer1Size > 0)
        buffer1[0] = '\0';
    return false;
}
