#include "utf8.h"

void appendUtf8(std::string& text, char32_t code)
{
    if (code < 0x80)
    {
        text += char(code);
        return;
    }
    if (code < 0x800)
    {
        text += char(0xC0 | (code >> 6));
    }
    else
    {
        if (code < 0x10000)
        {
            text += char(0xE0 | (code >> 12));
        }
        else
        {
            text += char(0xF0 | (code >> 18));
            text += char(0x80 | ((code >> 12) & 0x3F));
        }
        text += char(0x80 | ((code >> 6) & 0x3F));
    }
    text += char(0x80 | (code & 0x3F));
}

// The code point of the well-formed character at the start of a non-empty
// text, and its length; 0 for a byte that begins none.
static size_t decodeOne(std::string_view text, char32_t& code)
{
    Utf8Character character = utf8Character(text);
    if (!character.valid)
        return 0;
    // The lead byte's bits, then six from each continuation byte.
    static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    code = static_cast<unsigned char>(text[0]) & kLeadBits[character.length];
    for (size_t i = 1; i < character.length; i++)
        code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    return character.length;
}

// Calls emit with each code point of a well-formed text; false at the
// first byte of no well-formed character.
template <class Emit>
static bool forEachCode(std::string_view text, Emit emit)
{
    char32_t code = 0;
    for (size_t at = 0, length; at < text.size(); at += length)
    {
        if (!(length = decodeOne(text.substr(at), code)))
            return false;
        emit(code);
    }
    return true;
}

bool decodeUtf8(std::string_view text, std::u32string& codes)
{
    codes.clear();
    codes.reserve(text.size());
    return forEachCode(text, [&](char32_t code) { codes.push_back(code); });
}

bool utf8ToUtf16(std::string_view text, std::u16string& wide)
{
    wide.clear();
    wide.reserve(text.size());
    bool converted = forEachCode(text, [&](char32_t code) {
        if (code < 0x10000)
        {
            wide += char16_t(code);
            return;
        }
        code -= 0x10000;
        wide += char16_t(0xD800 | (code >> 10));
        wide += char16_t(0xDC00 | (code & 0x3FF));
    });
    if (!converted)
        wide.clear();
    return converted;
}

std::string utf16ToUtf8(std::u16string_view wide)
{
    std::string text;
    text.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); i++)
    {
        char32_t unit = wide[i];
        bool high = unit >= 0xD800 && unit <= 0xDBFF;
        bool pairs = high && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF;
        if (pairs)
            appendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (char32_t(wide[++i]) - 0xDC00));
        else if (unit >= 0xD800 && unit <= 0xDFFF)
            appendUtf8(text, 0xFFFD);
        else
            appendUtf8(text, unit);
    }
    return text;
}
