// UTF-8, the one encoding of every text the libraries take and give: its
// characters, for commands that cut or type a text character by character,
// and its conversions to code points and to the UTF-16 of Windows' wide API.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

struct Utf8Character
{
    size_t length; // at least 1
    bool valid;    // a well-formed sequence
};

// The character at the start of a non-empty text: a well-formed sequence
// whole; otherwise the bytes that begin one and break off (a lead byte and
// the continuation bytes it allows, up to the first that does not fit or the
// text's end), or a lone byte that begins none. So a cut made between two
// such pieces never ends inside a sequence that the text holds whole.
inline Utf8Character utf8Character(std::string_view text)
{
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(0);
    if (lead < 0x80)
        return {1, true};
    size_t needed = 0;
    // The range of the second byte: narrower after some leads, so that no
    // overlong form, surrogate or value past U+10FFFF counts as a sequence.
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        needed = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        needed = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        needed = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    else
        return {1, false};
    size_t length = 1;
    for (; length < needed && length < text.size(); length++)
    {
        if (byte(length) < low || byte(length) > high)
            break;
        low = 0x80;
        high = 0xBF;
    }
    return {length, length == needed};
}

// Appends the UTF-8 form of a code point below U+110000.
void appendUtf8(std::string& text, char32_t code);

// The code points of a well-formed UTF-8 text; false, with codes holding
// those before it, at the first byte of no well-formed character.
bool decodeUtf8(std::string_view text, std::u32string& codes);

// A well-formed UTF-8 text as UTF-16; false for any other text (as Windows'
// MultiByteToWideChar with MB_ERR_INVALID_CHARS).
bool utf8ToUtf16(std::string_view text, std::u16string& wide);
// UTF-16 as UTF-8, an unpaired surrogate as U+FFFD (as Windows'
// WideCharToMultiByte).
std::string utf16ToUtf8(std::u16string_view wide);

// Paths as UTF-8 texts on every system: a path made from a narrow string on
// Windows would be read in the ANSI code page.
inline std::filesystem::path utf8Path(const std::string& text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string utf8Text(const std::filesystem::path& path)
{
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
