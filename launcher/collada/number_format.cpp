#include "collada.h"

#include <bit>
#include <charconv>
#include <cstring>

// std::to_chars with a precision writes what printf writes for the same
// conversion, several times faster; printf serves if a value would not fit.
static void appendFormatted(std::string& out, double value, std::chars_format format, const char* printfFormat)
{
    char text[400];
    auto [end, error] = std::to_chars(text, text + sizeof(text), value, format, 6);
    if (error == std::errc())
    {
        out.append(text, size_t(end - text));
        return;
    }
    int length = snprintf(text, sizeof(text), printfFormat, value);
    if (length > 0)
        out.append(text, std::min(size_t(length), sizeof(text) - 1));
}

void appendGeneral(std::string& out, double value)
{
    appendFormatted(out, value, std::chars_format::general, "%g");
}

void appendFixed(std::string& out, double value)
{
    appendFormatted(out, value, std::chars_format::fixed, "%f");
}

void appendInteger(std::string& out, int64_t value)
{
    char text[kIntegerRoom];
    out.append(text, size_t(formatInteger(text, value) - text));
}

char* formatInteger(char* at, int64_t value)
{
    return std::to_chars(at, at + kIntegerRoom, value).ptr;
}

// The digits are gathered in the bytes of a word, first digit lowest, and
// stored at once.
static_assert(std::endian::native == std::endian::little);

static uint64_t pairBytes(uint64_t pair)
{
    uint16_t bytes;
    memcpy(&bytes, kDigitPairs + 2 * pair, 2);
    return bytes;
}

// The eight digits of value < 10^8, leading zeros included, from four
// independent pairs.
static uint64_t eightDigits(uint32_t value)
{
    uint32_t high = value / 10000;
    uint32_t low = value % 10000;
    return pairBytes(high / 100) | pairBytes(high % 100) << 16 | pairBytes(low / 100) << 32 |
           pairBytes(low % 100) << 48;
}

char* formatIndex(char* at, uint32_t value)
{
    if (value < 10)
    {
        *at = char('0' + value);
        return at + 1;
    }
    if (value < 100)
    {
        memcpy(at, kDigitPairs + 2 * value, 2);
        return at + 2;
    }
    if (value >= 100000000)
    {
        at = formatIndex(at, value / 100000000);
        uint64_t word = eightDigits(value % 100000000);
        memcpy(at, &word, 8);
        return at + 8;
    }
    uint32_t count = 3 + (value >= 1000) + (value >= 10000) + (value >= 100000) + (value >= 1000000) +
                     (value >= 10000000);
    uint64_t word = eightDigits(value) >> (8 * (8 - count));
    memcpy(at, &word, 8);
    return at + count;
}
