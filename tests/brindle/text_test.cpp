#include "brindle/brindle.h"
#include "tests/support/recording_host.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

namespace
{
// Runs strReplaceArg on text in a buffer of the given size; answers the
// result and what the buffer holds afterwards.
std::pair<float, std::string> replace(const char* replacement, double value, const std::string& text,
                                      size_t size = 256)
{
    std::vector<char> buffer(size, '#');
    memcpy(buffer.data(), text.c_str(), std::min(size, text.size() + 1));
    float result = strReplaceArg(replacement, value, buffer.data(), int32_t(size));
    return {result, std::string(buffer.data(), strnlen(buffer.data(), size))};
}
}

TEST(StrReplaceArg, ReplacesEveryPlaceholderOfTheNumber)
{
    using R = std::pair<float, std::string>;
    EXPECT_EQ(replace("12", 1, "a %ARG1% b %ARG1% c"), R(0, "a 12 b 12 c"));
    EXPECT_EQ(replace("a longer text", 1, "%ARG1%-%arg01%-%ArG1%"), R(0, "a longer text-a longer text-a longer text"));
    EXPECT_EQ(replace("x", 1.9, "[%ARG1%]"), R(0, "[x]"));
    EXPECT_EQ(replace("", 0, "a%ARG%b"), R(0, "ab"));
    EXPECT_EQ(replace("R", 2, "%ARG1% %ARG2%"), R(0, "%ARG1% R"));
}

TEST(StrReplaceArg, ScanRulesForOddPercentSigns)
{
    using R = std::pair<float, std::string>;
    EXPECT_EQ(replace("x", 2, "%ARG1%"), R(-1, "%ARG1%"));
    EXPECT_EQ(replace("x", 1, "%%ARG1%"), R(-1, "%%ARG1%"));           // the second % is passed over
    EXPECT_EQ(replace("x", 1, "%ARG%ARG1%"), R(-1, "%ARG%ARG1%"));     // %ARG% used up the opening %
    EXPECT_EQ(replace("R", 0, "%ARG%ARG1%"), R(0, "RARG1%"));
    EXPECT_EQ(replace("%ARG1%", 1, "%ARG1%"), R(0, "%ARG1%"));          // not expanded again
    EXPECT_EQ(replace("%ARG1%", 1, "%ARG1%%ARG1%"), R(0, "%ARG1%%ARG1%"));
    EXPECT_EQ(replace("x", 1, "%AR"), R(-1, "%AR"));
    EXPECT_EQ(replace("x", 1, "%ARG12"), R(-1, "%ARG12"));
    EXPECT_EQ(replace("x", 1, "%ARG99999999999999999999%"), R(-1, "%ARG99999999999999999999%"));
}

TEST(StrReplaceArg, NeverWritesPastTheBuffer)
{
    using R = std::pair<float, std::string>;
    // "ab%ARG1%" grows to "ab" + 10 bytes: 12 bytes and a NUL.
    EXPECT_EQ(replace("0123456789", 1, "ab%ARG1%", 13), R(0, "ab0123456789"));
    EXPECT_EQ(replace("0123456789", 1, "ab%ARG1%", 12), R(-1, "ab%ARG1%"));
    // A text that does not end inside the buffer is refused.
    std::vector<char> unterminated(6, 'a');
    EXPECT_EQ(strReplaceArg("x", 0, unterminated.data(), 6), -1);
    EXPECT_EQ(strReplaceArg("x", 0, unterminated.data(), 0), -1);
}

TEST(StrReplaceArg, RefusesMissingArguments)
{
    char buffer[16] = "%ARG1%";
    EXPECT_EQ(strReplaceArg(nullptr, 1, buffer, 16), -1);
    EXPECT_EQ(strReplaceArg("x", 1, nullptr, 16), -1);
    char empty[4] = "";
    EXPECT_EQ(strReplaceArg("x", 1, empty, 4), -1);
    EXPECT_STREQ(buffer, "%ARG1%");
}

TEST(Localized, FetchesIntoBufferOne)
{
    RecordingHost host;
    host.scripted.strings[-1]["key.title"] = "Hello World"; // and no description
    char buffer[6];
    memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(getLocalized(LocalizedTitle, "key", buffer, 6, &host.context), 0);
    EXPECT_STREQ(buffer, "Hello");
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].entry, 7);
    EXPECT_EQ(host.requests[0].text, "key");

    memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(getLocalized(LocalizedDescr, "key", buffer, 6, &host.context), -1);
    EXPECT_EQ(buffer[0], '#'); // untouched when the host has no text
    EXPECT_EQ(host.requests.back().entry, 9);

    size_t calls = host.requests.size();
    EXPECT_EQ(getLocalized(LocalizedText, "key", buffer, 0, &host.context), -1);
    EXPECT_EQ(getLocalized(LocalizedText, "", buffer, 6, &host.context), -1);
    EXPECT_EQ(getLocalized(LocalizedText, "key", nullptr, 6, &host.context), -1);
    EXPECT_EQ(getLocalized(LocalizedInfo, "key", buffer, 6, nullptr), -1);
    EXPECT_EQ(host.requests.size(), calls);
}

TEST(Localized, LanguageAndRegistration)
{
    RecordingHost host;
    host.scripted.language = 2;
    EXPECT_EQ(getCurrentLanguage(&host.context), 2);
    EXPECT_EQ(registerLocalizationFile("texts.xml", &host.context), 0);
    EXPECT_EQ(registerLocalizationFile("", &host.context), -1);
    ASSERT_EQ(host.requests.size(), 2u);
    EXPECT_EQ(host.requests[1].entry, 5);
    EXPECT_EQ(host.requests[1].text, "texts.xml");
    EXPECT_EQ(getCurrentLanguage(nullptr), -1);
}

TEST(Convert, RoundTripsEveryPlane)
{
    std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF";
    std::wstring wide = widen(text);
    EXPECT_EQ(wide, (std::wstring{L'a', wchar_t(0xE9), wchar_t(0x20AC), wchar_t(0x1F600), wchar_t(0x10FFFF)}));
    EXPECT_EQ(narrow(wide), text);
    EXPECT_EQ(widen(""), L"");
}

TEST(Convert, RefusesWithTheConvertersMessages)
{
    auto widenMessage = [](const std::string& bytes) {
        try
        {
            widen(bytes);
        }
        catch (const std::range_error& e)
        {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    const std::string bad[] = {"\x80", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "a\xE2\x82", "\xFF"};
    for (const std::string& bytes : bad)
        EXPECT_EQ(widenMessage(bytes), "wstring_convert: from_bytes error") << testing::PrintToString(bytes);

    for (wchar_t c : {wchar_t(0xD800), wchar_t(0x110000)})
    {
        try
        {
            narrow(std::wstring(1, c));
            ADD_FAILURE() << "no error for " << unsigned(c);
        }
        catch (const std::range_error& e)
        {
            EXPECT_STREQ(e.what(), "wstring_convert: to_bytes error");
        }
    }
}
