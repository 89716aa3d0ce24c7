#include "host/scripted_host.h"
#include "tests/support/text_files.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(Localization, SectionsByLanguage)
{
    LocalizedStrings strings;
    parseLocalization("# texts\nhello=Hello\n\n[1]\nhello=Bonjour\r\nbye.title=Au revoir\n[x]\nhello=ignored\n"
                      "[*]\nname=Klayra\nno equals sign\n=no key\n",
                      strings);
    EXPECT_EQ(strings[-1]["hello"], "Hello");
    EXPECT_EQ(strings[-1]["name"], "Klayra");
    EXPECT_EQ(strings[1]["hello"], "Bonjour");
    EXPECT_EQ(strings[1]["bye.title"], "Au revoir");
    EXPECT_EQ(strings[-1].size(), 2u);
    EXPECT_EQ(strings[1].size(), 2u);
}

// Every cut reads what the whole text does, the last value perhaps cut short;
// with a byte flipped, every text read is a whole line of the sample or the
// flipped line.
TEST(Localization, EveryCutAndFlipIsHandled)
{
    const std::string sample = "a=1\n[2]\nb.title=two=2\n[*]\n#c\nd=\n";
    LocalizedStrings whole;
    parseLocalization(sample, whole);
    std::vector<std::string> lines = linesOf(sample);
    for (size_t length = 0; length <= sample.size(); length++)
    {
        LocalizedStrings strings;
        parseLocalization(sample.substr(0, length), strings);
        for (const auto& [section, texts] : strings)
            for (const auto& [key, value] : texts)
                EXPECT_TRUE(whole[section].count(key) && whole[section][key].starts_with(value))
                    << length << ": " << key << "=" << value;
    }
    for (size_t i = 0; i < sample.size(); i++)
    {
        std::string text = sample;
        text[i] = char(text[i] ^ 0xFF);
        LocalizedStrings strings;
        parseLocalization(text, strings);
        std::string flipped = linesOf(text)[size_t(std::count(text.begin(), text.begin() + ptrdiff_t(i), '\n'))];
        for (const auto& [section, texts] : strings)
            for (const auto& [key, value] : texts)
            {
                std::string line = key + "=" + value;
                EXPECT_TRUE(std::ranges::count(lines, line) || line == flipped) << i << ": " << line;
            }
    }
}
