#include "brindle.h"

#include <stdexcept>

static_assert(sizeof(wchar_t) == 4, "wide strings hold one code point per character");

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
std::wstring widen(std::string text)
{
    std::wstring result;
    result.reserve(text.size());
    size_t i = 0;
    while (i < text.size())
    {
        unsigned char lead = (unsigned char)text[i];
        size_t extra;
        char32_t code;
        char32_t minimum;
        if (lead < 0x80)
            extra = 0, code = lead, minimum = 0;
        else if ((lead & 0xE0) == 0xC0)
            extra = 1, code = lead & 0x1F, minimum = 0x80;
        else if ((lead & 0xF0) == 0xE0)
            extra = 2, code = lead & 0x0F, minimum = 0x800;
        else if ((lead & 0xF8) == 0xF0)
            extra = 3, code = lead & 0x07, minimum = 0x10000;
        else
            throw std::range_error("wstring_convert: from_bytes error");
        if (text.size() - i - 1 < extra)
            throw std::range_error("wstring_convert: from_bytes error");
        for (size_t k = 1; k <= extra; k++)
        {
            unsigned char next = (unsigned char)text[i + k];
            if ((next & 0xC0) != 0x80)
                throw std::range_error("wstring_convert: from_bytes error");
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            throw std::range_error("wstring_convert: from_bytes error");
        result.push_back(wchar_t(code));
        i += extra + 1;
    }
    return result;
}

std::string narrow(std::wstring text)
{
    std::string result;
    result.reserve(text.size());
    for (wchar_t character : text)
    {
        char32_t code = char32_t(character);
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            throw std::range_error("wstring_convert: to_bytes error");
        if (code < 0x80)
        {
            result.push_back(char(code));
        }
        else if (code < 0x800)
        {
            result.push_back(char(0xC0 | (code >> 6)));
            result.push_back(char(0x80 | (code & 0x3F)));
        }
        else if (code < 0x10000)
        {
            result.push_back(char(0xE0 | (code >> 12)));
            result.push_back(char(0x80 | ((code >> 6) & 0x3F)));
            result.push_back(char(0x80 | (code & 0x3F)));
        }
        else
        {
            result.push_back(char(0xF0 | (code >> 18)));
            result.push_back(char(0x80 | ((code >> 12) & 0x3F)));
            result.push_back(char(0x80 | ((code >> 6) & 0x3F)));
            result.push_back(char(0x80 | (code & 0x3F)));
        }
    }
    return result;
}
