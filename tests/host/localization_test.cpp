#include "host/scripted_host.h"

#include <gtest/gtest.h>

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

TEST(Localization, EveryCutAndFlipIsHandled)
{
    const std::string sample = "a=1\n[2]\nb.title=two=2\n[*]\n#c\nd=\n";
    for (size_t length = 0; length <= sample.size(); length++)
    {
        LocalizedStrings strings;
        parseLocalization(sample.substr(0, length), strings);
    }
    for (size_t i = 0; i < sample.size(); i++)
    {
        std::string text = sample;
        text[i] = char(text[i] ^ 0xFF);
        LocalizedStrings strings;
        parseLocalization(text, strings);
    }
}
