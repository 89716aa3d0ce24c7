#include "brindle.h"
#include "common/utf8.h"

#include <stdexcept>

static_assert(sizeof(wchar_t) == 4, "wide strings hold one code point per character");

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF;
// a text or a character beyond that throws, as the standard converter did.
std::wstring widen(std::string text)
{
    std::u32string codes;
    if (!decodeUtf8(text, codes))
        throw std::range_error("wstring_convert: from_bytes error");
    return std::wstring(codes.begin(), codes.end());
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
        appendUtf8(result, code);
    }
    return result;
}
