// Zenity's answers come from another program: each parser reads an answer
// exactly or refuses it, and so it does for every cut and changed byte.
#include "platform/linux_zenity.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <strings.h>

using Paths = std::vector<std::string>;

namespace
{
Paths split(const std::string& answer)
{
    Paths paths = {"untouched"};
    return splitZenityFiles(answer, paths) ? paths : Paths{"refused"};
}

// The variants of a sample: every cut, and every byte replaced by its
// complement and by each character that means something to the parsers.
std::vector<std::string> damaged(const std::string& sample)
{
    std::vector<std::string> variants;
    for (size_t length = 0; length < sample.size(); length++)
        variants.push_back(sample.substr(0, length));
    for (size_t at = 0; at < sample.size(); at++)
        for (char replacement : {char(~sample[at]), '\0', '/', '.', '\n', ',', '(', ')', '#', '0', '9', 'f'})
        {
            std::string changed = sample;
            changed[at] = replacement;
            variants.push_back(changed);
        }
    return variants;
}

std::string withoutNewline(std::string text)
{
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}
}

TEST(ZenityFiles, SplitsAtTheSeparatorOnly)
{
    EXPECT_EQ(split("/m/a b.obj/.//m/c\nd.ma/.//e\n"), (Paths{"/m/a b.obj", "/m/c\nd.ma", "/e"}));
    EXPECT_EQ(split("/only one\n"), Paths{"/only one"});
    EXPECT_EQ(split("/a\n\n"), Paths{"/a\n"}) << "one newline is zenity's, the other the name's";
    EXPECT_EQ(split("/a/.//b"), (Paths{"/a", "/b"}));
    for (const char* refused : {"", "\n", "relative\n", "/a/./\n", "/a/./b\n", "/a/.//b/./", "/./a"})
        EXPECT_EQ(split(refused), Paths{"refused"}) << refused;
    EXPECT_EQ(split(std::string("/a\0b\n", 5)), Paths{"refused"});
}

TEST(ZenityFiles, EveryDamagedAnswerIsRefusedOrSplitsIntoAbsolutePaths)
{
    for (const std::string& answer : damaged("/m/a.obj/.//m/b c.ma/.//z\n"))
    {
        Paths paths = split(answer);
        if (paths == Paths{"refused"})
            continue;
        std::string joined;
        for (const std::string& path : paths)
        {
            ASSERT_FALSE(path.empty());
            EXPECT_EQ(path[0], '/');
            EXPECT_EQ(path.find('\0'), std::string::npos);
            EXPECT_EQ(path.find(kZenitySeparator), std::string::npos);
            joined += (joined.empty() ? "" : kZenitySeparator) + path;
        }
        EXPECT_EQ(joined, withoutNewline(answer)) << "nothing lost or added";
    }
}

TEST(ZenityFolder, OneAbsolutePath)
{
    std::string folder = "untouched";
    EXPECT_TRUE(readZenityPath("/work/out folder\n", folder));
    EXPECT_EQ(folder, "/work/out folder");
    for (const char* refused : {"", "\n", "work/out\n"})
    {
        EXPECT_FALSE(readZenityPath(refused, folder)) << refused;
        EXPECT_EQ(folder, "/work/out folder");
    }
    EXPECT_FALSE(readZenityPath(std::string("/a\0b", 4), folder));
}

TEST(ZenityColor, ReadsBothNotations)
{
    struct Case
    {
        const char* answer;
        bool read;
        RgbColor color;
    };
    const Case cases[] = {
        {"rgb(255,0,0)\n", true, {255, 0, 0}},
        {"rgb(0,128,9)", true, {0, 128, 9}},
        {"#ffFFff\n", true, {255, 255, 255}},
        {"#0A0b0C\n", true, {10, 11, 12}},
        {"rgb(256,0,0)\n", false, {}},
        {"rgb(0255,0,0)\n", false, {}},
        {"rgb(00,0,0)\n", false, {}},
        {"rgb( 1,2,3)\n", false, {}},
        {"rgb(1,2,3)x\n", false, {}},
        {"rgb(1,2,3)\n\n", false, {}},
        {"rgb(1,2)\n", false, {}},
        {"rgba(1,2,3,0.5)\n", false, {}},
        {"#12345\n", false, {}},
        {"#1234567\n", false, {}},
        {"#12345g\n", false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases)
    {
        RgbColor color = {7, 7, 7};
        EXPECT_EQ(parseZenityColor(c.answer, color), c.read) << c.answer;
        RgbColor expected = c.read ? c.color : RgbColor{7, 7, 7};
        EXPECT_EQ(color.red, expected.red) << c.answer;
        EXPECT_EQ(color.green, expected.green) << c.answer;
        EXPECT_EQ(color.blue, expected.blue) << c.answer;
    }
}

TEST(ZenityColor, EveryDamagedAnswerIsRefusedOrReadExactly)
{
    for (const char* sample : {"rgb(255,128,7)\n", "#a0FF3c\n"})
        for (const std::string& answer : damaged(sample))
        {
            RgbColor color = {7, 7, 7};
            if (!parseZenityColor(answer, color))
            {
                EXPECT_TRUE(color.red == 7 && color.green == 7 && color.blue == 7) << "refused, yet changed";
                continue;
            }
            // What was read, written back in zenity's notations, is the answer.
            char rgb[32];
            char hex[32];
            snprintf(rgb, sizeof(rgb), "rgb(%d,%d,%d)", color.red, color.green, color.blue);
            snprintf(hex, sizeof(hex), "#%02x%02x%02x", color.red, color.green, color.blue);
            std::string text = withoutNewline(answer);
            EXPECT_TRUE(text == rgb || strcasecmp(text.c_str(), hex) == 0) << text;
        }
}

TEST(ZenityFilter, MatchesTheExtensionsLiterallyInAnyCase)
{
    EXPECT_EQ(zenityFileFilter({"OBJ", "ma"}), "--file-filter=OBJ ma | *.[oO][bB][jJ] *.[mM][aA]");
    EXPECT_EQ(zenityFileFilter({"3ds", "x*[?]\\"}), "--file-filter=3ds x*[?]\\ | *.3[dD][sS] *.[xX]\\*\\[\\?\\]\\\\");
    // The name ends at the first "|", so a "|" of an extension stays out of it.
    EXPECT_EQ(zenityFileFilter({"a|b"}), "--file-filter=ab | *.[aA]|[bB]");
}
