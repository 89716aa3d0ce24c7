#include "homepage/homepage.h"

#include <gtest/gtest.h>

#include <cstring>

using Lines = std::vector<std::string>;

namespace
{
// The update data of these lines, each ending in "\n".
std::string joined(const Lines& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// The script's number for a comparison.
float compared(const std::string& fresh, const std::string& stored)
{
    return updateResultCode(compareTimestamps(fresh, stored));
}

Lines settingsOf(const UpdateFindings& f)
{
    Lines lines;
    for (size_t start = 0, end; (end = f.settings.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(f.settings.substr(start, end - start));
    return lines;
}
}

TEST(FindString, TagsOfOneLine)
{
    UpdateFindings f;
    char url[32] = "http://old";
    FindString("a<width>640</width> <height>480</height><timestamp>2021-03-04 05:06:07</timestamp>"
               "<url>http://x/p</url>",
               f, true, url, 32);
    EXPECT_EQ(settingsOf(f), (Lines{"s_width=640", "s_height=480"}));
    EXPECT_EQ(f.timestamp, "2021-03-04 05:06:07");
    EXPECT_EQ(f.url, "http://x/p");
    EXPECT_STREQ(url, "http://x/p");

    // A closing tag before the value, or none: the value runs to the end of
    // the line, without the carriage return that ends it.
    FindString("</width>x<width>12 \r", f, true, url, 32);
    FindString("<height>7", f, true, url, 32);
    EXPECT_EQ(settingsOf(f), (Lines{"s_width=640", "s_height=480", "s_width=12 ", "s_height=7"}));
    FindString("<timestamp>2021-03-04", f, true, url, 32);
    EXPECT_EQ(f.timestamp, "2021-03-04");
    FindString("<url>http://y/q\r", f, false, url, 32); // addresses not looked for
    EXPECT_EQ(f.url, "http://x/p");
    FindString("<url>http://a-rather-long-address/page</url>", f, true, url, 8);
    EXPECT_EQ(std::string(url, 8), std::string("http://\0", 8));
}

TEST(FindString, YearBlockAndItsFallback)
{
    Lines closed = {"<width>1</width>", "<2021><width>2</width>", "<width>3</width>", "</2021><width>4</width>",
                    "<width>5</width>", "<2021>", "<width>6</width>", "</2021>"};
    UpdateFindings f;
    evaluateUpdate(UpdateVariant::YearBlock, 0, joined(closed), f, nullptr, 0);
    EXPECT_EQ(settingsOf(f), (Lines{"s_width=2", "s_width=3", "s_width=6"}));

    Lines open = {"<width>1</width>", "<2021>", "<width>2</width>"};
    f = UpdateFindings();
    evaluateUpdate(UpdateVariant::YearBlock, 0, joined(open), f, nullptr, 0);
    EXPECT_EQ(settingsOf(f), (Lines{"s_width=2", "s_width=1", "s_width=2"}));

    f = UpdateFindings();
    evaluateUpdate(UpdateVariant::EveryLine, 0, joined(closed), f, nullptr, 0);
    EXPECT_EQ(settingsOf(f).size(), 6u);
}

TEST(FindString, LanguageBlockAndItsFallbacks)
{
    auto widths = [](int32_t language, const Lines& lines) {
        UpdateFindings f;
        evaluateUpdate(UpdateVariant::LanguageBlock, language, joined(lines), f, nullptr, 0);
        std::string all;
        for (const std::string& line : settingsOf(f))
            all += line.substr(8);
        return all;
    };
    Lines full = {"<width>0</width>", "<2021>", "<EN><width>1</width>", "<width>2</width></EN>", "<JA>",
                  "<width>3</width>", "</JA>", "</2021>", "<JA><width>4</width></JA>"};
    EXPECT_EQ(widths(0, full), "1");
    EXPECT_EQ(widths(2, full), "3");
    EXPECT_EQ(widths(9, full), "1"); // unknown selectors read English
    EXPECT_EQ(widths(-1, full), "1");
    // The language opens in the year block but never closes: the year block again.
    EXPECT_EQ(widths(1, {"<2021>", "<FR><width>1</width>", "<width>2</width>", "</2021>"}), "12" "12");
    // No year tag at all: only the closed language block.
    EXPECT_EQ(widths(2, {"<width>0</width>", "<JA><width>1</width>", "<width>2</width>", "</JA><width>3</width>"}),
              "12");
    // A year block that never closes: its language lines, then the language block alone.
    EXPECT_EQ(widths(0, {"<width>0</width>", "<2021>", "<EN><width>2</width>", "</EN>"}), "2" "2");
    // Nothing closes anywhere: the language lines, then every line as the last resort.
    EXPECT_EQ(widths(0, {"<width>0</width>", "<EN><width>1</width>"}), "1" "01");
}

TEST(Timestamps, ComparisonFieldByField)
{
    EXPECT_EQ(compared("2016-07-01 00:00:00", "2016-07-00 00:00:00"), -8);
    EXPECT_EQ(compared("2021-01-05 10:00:00", "2020-12-31 23:59:59"), -6);
    EXPECT_EQ(compared("2020-01-31 00:00:00", "2020-02-01 00:00:00"), -8); // earlier month, later day
    EXPECT_EQ(compared("2020-02-01 00:00:00", "2020-01-31 00:00:00"), -7);
    EXPECT_EQ(compared("2020-01-01 05:00:00", "2020-01-01 04:59:59"), -9);
    EXPECT_EQ(compared("2020-01-01 04:01:00", "2020-01-01 04:00:59"), -10);
    EXPECT_EQ(compared("2020-01-01 04:00:59", "2020-01-01 04:00:00"), 3); // seconds are not compared
    EXPECT_EQ(compared("2020-01-01 04:00:00", "2020-01-01 04:00:00"), 3);
    // A stored time that does not read is older than any that does; a new one that does not read answers 6.
    EXPECT_EQ(compared("2020-01-01 04:00:00", ""), -6);
    EXPECT_EQ(compared("0000-00-00 00:00:00", "garbage"), 3);
    EXPECT_EQ(compared("2020-01-01", "2016-07-00 00:00:00"), 6);
    EXPECT_EQ(compared("2020-01-01 99999999999:00:00", "2016-07-00 00:00:00"), -6);
}

// Every cut and flipped byte: what is found is copied from the text, the
// address into buffer 1 within its size, and the timestamp compares to one
// of the comparison's outcomes.
TEST(FindString, EveryCutAndFlipIsHandled)
{
    const std::string sample = "<2021>\n<EN><width>640</width><height>480</height>\n<timestamp>2021-03-04 05:06:07\n"
                               "<url>http://x/p</url></EN>\n</2021>\n";
    const std::string kept(8, '#'); // past buffer 1's 16 bytes
    auto check = [&](const std::string& text) {
        for (UpdateVariant variant : {UpdateVariant::YearBlock, UpdateVariant::LanguageBlock, UpdateVariant::EveryLine})
        {
            char url[16 + 8] = "";
            memcpy(url + 16, kept.data(), kept.size());
            UpdateFindings f;
            evaluateUpdate(variant, 0, text, f, url, 16);
            EXPECT_EQ(std::string(url + 16, kept.size()), kept) << text;
            EXPECT_LT(strnlen(url, 16), 16u) << text;
            EXPECT_TRUE(f.url.starts_with(url)) << text;
            EXPECT_NE(text.find(f.url), std::string::npos) << text;
            EXPECT_NE(text.find(f.timestamp), std::string::npos) << text;
            UpdateOutcome outcome = compareTimestamps(f.timestamp, "2016-07-00 00:00:00");
            EXPECT_TRUE(outcome >= UpdateOutcome::NotNewer && outcome <= UpdateOutcome::NoTimestamp) << text;
        }
    };
    for (size_t length = 0; length <= sample.size(); length++)
        check(sample.substr(0, length));
    for (size_t i = 0; i < sample.size(); i++)
    {
        std::string text = sample;
        text[i] = char(text[i] ^ 0xFF);
        check(text);
    }
}
