// The one UTF-8 module: every code point there and back, malformed texts
// refused, and under Wine the same UTF-16 as the Windows API it replaced.
#include "common/utf8.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace
{
#if defined(_WIN32)
// What Windows makes of a text: false where it refuses it.
bool windowsWide(const std::string& text, std::u16string& wide)
{
    wide.clear();
    if (text.empty())
        return true;
    int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), nullptr, 0);
    if (size <= 0)
        return false;
    std::wstring units(size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), units.data(), size);
    wide.assign(units.begin(), units.end());
    return true;
}

std::string windowsNarrow(const std::u16string& wide)
{
    const wchar_t* units = reinterpret_cast<const wchar_t*>(wide.data());
    int size = WideCharToMultiByte(CP_UTF8, 0, units, int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(size_t(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, units, int(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
}

// The byte sequences of one to three bytes around every boundary of the
// encoding: every lead, and continuation bytes at and beside their ranges.
std::vector<std::string> edgeSequences()
{
    std::vector<std::string> texts;
    const unsigned char seconds[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xFF};
    for (int lead = 0; lead < 256; lead++)
    {
        texts.push_back(std::string(1, char(lead)));
        for (unsigned char second : seconds)
        {
            texts.push_back({char(lead), char(second)});
            for (unsigned char third : {0x41, 0x80, 0xBF, 0xC0})
            {
                texts.push_back({char(lead), char(second), char(third)});
                texts.push_back({char(lead), char(second), char(third), char(0x80)});
            }
        }
    }
    return texts;
}
#endif
}

TEST(Utf8, EveryCodePointThereAndBack)
{
    for (char32_t code = 0; code < 0x110000; code++)
    {
        if (code >= 0xD800 && code <= 0xDFFF)
            continue;
        std::string text = "a";
        appendUtf8(text, code);
        ASSERT_EQ(text.size(), 2u + (code >= 0x80) + (code >= 0x800) + (code >= 0x10000)) << unsigned(code);
        std::u32string codes;
        ASSERT_TRUE(decodeUtf8(text, codes)) << unsigned(code);
        ASSERT_EQ(codes, (std::u32string{U'a', code})) << unsigned(code);
        std::u16string wide;
        ASSERT_TRUE(utf8ToUtf16(text, wide)) << unsigned(code);
        ASSERT_EQ(wide.size(), code >= 0x10000 ? 3u : 2u);
        ASSERT_EQ(utf16ToUtf8(wide), text) << unsigned(code);
#if defined(_WIN32)
        std::u16string windows;
        ASSERT_TRUE(windowsWide(text, windows)) << unsigned(code);
        ASSERT_EQ(wide, windows) << unsigned(code);
#endif
    }
}

TEST(Utf8, MalformedTextsAreRefused)
{
    struct Case
    {
        const char* text;
        bool wellFormed;
    };
    const Case cases[] = {
        {"", true},           {"caf\xC3\xA9", true},       {"\xF4\x8F\xBF\xBF", true}, // U+10FFFF
        {"\xC3", false},      {"\xC0\xAF", false},          {"\xE0\x80\xAF", false},     // cut, overlong
        {"\xED\xA0\x80", false}, {"\xF4\x90\x80\x80", false}, {"\xF8\x88\x80\x80\x80", false}, // surrogate, too large
        {"a\x80", false},     {"\xFF", false},
    };
    for (const Case& c : cases)
    {
        std::u32string codes;
        std::u16string wide;
        EXPECT_EQ(decodeUtf8(c.text, codes), c.wellFormed) << c.text;
        EXPECT_EQ(utf8ToUtf16(c.text, wide), c.wellFormed) << c.text;
    }
    // Unpaired surrogates read as U+FFFD; a pair as its character.
    EXPECT_EQ(utf16ToUtf8(u"a\xD800" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
    EXPECT_EQ(utf16ToUtf8(u"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
}

#if defined(_WIN32)
// The texts around every boundary of the encoding, and every UTF-16 unit
// alone and beside a surrogate: the same answers as Windows' own.
TEST(Utf8, SameAsWindowsAroundEveryBoundary)
{
    for (const std::string& text : edgeSequences())
    {
        std::u16string ours, windows;
        bool accepted = utf8ToUtf16(text, ours);
        ASSERT_EQ(accepted, windowsWide(text, windows)) << testing::PrintToString(text);
        if (accepted)
            ASSERT_EQ(ours, windows) << testing::PrintToString(text);
    }
    for (char32_t unit = 0; unit < 0x10000; unit++)
        for (std::u16string wide : {std::u16string{char16_t(unit)}, std::u16string{char16_t(unit), u'\xDC01'},
                                    std::u16string{u'\xD801', char16_t(unit)}})
            ASSERT_EQ(utf16ToUtf8(wide), windowsNarrow(wide)) << unsigned(unit);
}
#endif
