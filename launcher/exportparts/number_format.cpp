#include "number_format.h"

#include <charconv>
#include <cstdio>

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
