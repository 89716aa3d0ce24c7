// The UTF-8 module: every code point there and back, malformed texts
// refused, and under Wine the same UTF-16 as the Windows API it replaced.
#include "common/utf8.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>

// What Windows makes of a text: false where it refuses it.
static bool windowsWide(const std::string& text, std::u16string& wide)
{
    int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), nullptr, 0);
    wide.assign(size_t(size > 0 ? size : 0), u'\0');
    return size > 0 && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()),
                                           reinterpret_cast<wchar_t*>(wide.data()), size) == size;
}
#endif

TEST(Utf8, EveryCodePointThereAndBack)
{
    for (char32_t code = 0; code < 0x110000; code++)
    {
        if (code >= 0xD800 && code <= 0xDFFF)
            continue;
        std::string text = "a";
        appendUtf8(text, code);
        std::u32string codes;
        std::u16string wide;
        ASSERT_EQ(text.size(), 2u + (code >= 0x80) + (code >= 0x800) + (code >= 0x10000)) << unsigned(code);
        ASSERT_TRUE(decodeUtf8(text, codes) && codes == (std::u32string{U'a', code})) << unsigned(code);
        ASSERT_TRUE(utf8ToUtf16(text, wide) && utf16ToUtf8(wide) == text) << unsigned(code);
#if defined(_WIN32)
        std::u16string windows;
        ASSERT_TRUE(windowsWide(text, windows) && wide == windows) << unsigned(code);
#endif
    }
}

// Truncated, overlong, surrogate and too large sequences; lone surrogates in
// UTF-16 read as U+FFFD.
TEST(Utf8, MalformedTexts)
{
    for (const char* text : {"\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "a\x80", "\xFF"})
    {
        std::u32string codes;
        std::u16string wide;
        EXPECT_FALSE(decodeUtf8(text, codes) || utf8ToUtf16(text, wide)) << text;
#if defined(_WIN32)
        EXPECT_FALSE(windowsWide(text, wide)) << text;
#endif
    }
    EXPECT_EQ(utf16ToUtf8(u"a\xD800" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(utf16ToUtf8(u"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
}
