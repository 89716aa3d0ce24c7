#include "common/command.h"
#include "common/host_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

TEST(TextResult, FitsOrIsCutWithItsNul)
{
    char buffer[8];
    memset(buffer, 'x', sizeof(buffer));
    ASSERT_TRUE(writeTextResult("Sphere!", buffer, 8)); // 7 bytes: fits exactly with its NUL
    EXPECT_STREQ(buffer, "Sphere!");

    memset(buffer, 'x', sizeof(buffer));
    ASSERT_TRUE(writeTextResult("Sphere", buffer, 4));
    EXPECT_EQ(std::string(buffer, 8), std::string("Sph\0xxxx", 8)); // bytes past the size untouched

    memset(buffer, 'x', sizeof(buffer));
    ASSERT_TRUE(writeTextResult("ab", buffer, 8));
    EXPECT_EQ(std::string(buffer, 8), std::string("ab\0xxxxx", 8)); // bytes past the NUL untouched

    ASSERT_TRUE(writeTextResult("abc", buffer, 1));
    EXPECT_EQ(buffer[0], '\0');
}

TEST(TextResult, CutBetweenCharactersEvenInIllFormedTexts)
{
    struct Case
    {
        const char* text;
        int32_t size;
        const char* written;
    };
    const Case cases[] = {
        {"Export termin\xc3\xa9", 15, "Export termin"},
        {"Export termin\xc3\xa9", 16, "Export termin\xc3\xa9"},
        {"\xf0\x9f\x98\x80x", 4, ""},
        {"ab\xff" "cd", 4, "ab\xff"},        // a byte that begins nothing is a character of its own
        {"ab\xe2\x82", 4, "ab"},           // a sequence broken off stays whole, kept or left out
        {"ab\xe2\x82x", 5, "ab\xe2\x82"},
        {"a\xed\xa0\x80", 4, "a\xed\xa0"}, // a surrogate's bytes begin no sequence
    };
    for (const Case& c : cases)
    {
        char buffer[32];
        ASSERT_TRUE(writeTextResult(c.text, buffer, c.size));
        EXPECT_STREQ(buffer, c.written) << c.text << " into " << c.size;
    }
}

TEST(TextResult, RefusesMissingBuffers)
{
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_FALSE(writeTextResult("a", nullptr, 4));
    EXPECT_FALSE(writeTextResult("a", buffer, 0));
    EXPECT_FALSE(writeTextResult("a", buffer, -5));
    EXPECT_EQ(std::string(buffer, 4), "xxxx");
}

TEST(TruncToInt, TowardZeroAndSaturating)
{
    EXPECT_EQ(truncToInt(2.9), 2);
    EXPECT_EQ(truncToInt(-0.5), 0);
    EXPECT_EQ(truncToInt(-2.9), -2);
    EXPECT_EQ(truncToInt(1e20), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(truncToInt(-1e20), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(truncToInt(INFINITY), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(truncToInt(NAN), 0);
}

TEST(HostPathToNative, TextAfterTheFirstColonUnlessAlreadyNative)
{
    struct Case
    {
        const char* text;
        const char* posix;
        const char* windows;
    };
    const Case cases[] = {
        {"Vol:/Users/me/x", "/Users/me/x", "/Users/me/x"},
        {"/Users/me/x", "/Users/me/x", "/Users/me/x"},
        {"a:b:c", "b:c", "b:c"},
        {"", "", ""},
        {"Vol:", "", ""},
        {"/home/me/shot 10:30.png", "/home/me/shot 10:30.png", "/home/me/shot 10:30.png"},
        {"Vol:C:/Users/me/x", "C:/Users/me/x", "C:/Users/me/x"},
        {"D:\\data\\x:1", "\\data\\x:1", "D:\\data\\x:1"},
        {"d:/x", "/x", "d:/x"},
        {"\\\\server\\share\\x", "\\\\server\\share\\x", "\\\\server\\share\\x"},
        {"C:x", "x", "x"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(hostPathToNative(c.text, PathStyle::Posix), c.posix) << c.text;
        EXPECT_EQ(hostPathToNative(c.text, PathStyle::Windows), c.windows) << c.text;
    }
}
