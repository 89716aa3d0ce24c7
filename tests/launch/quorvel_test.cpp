#include "homepage/homepage.h"
#include "tests/support/platform_double.h"
#include "recorder.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(StartProcess, LanguageCodes)
{
    EXPECT_STREQ(languageCode(0), "EN");
    EXPECT_STREQ(languageCode(2), "JA");
    EXPECT_STREQ(languageCode(6), "KO");
    EXPECT_STREQ(languageCode(7), "EN");
    EXPECT_STREQ(languageCode(30), "TEN");
    EXPECT_STREQ(languageCode(36), "TKO");
    EXPECT_STREQ(languageCode(37), "EN");
    EXPECT_STREQ(languageCode(-3), "EN");
}

TEST(StartProcess, ArgumentsAndBufferOne)
{
    PlatformDouble platform;
    char buffer[64] = "Vol:/Users/me/file.txt  second  third";
    EXPECT_EQ(startProcess("Vol:/Apps/Home", 2, buffer, 64), 0);
    EXPECT_EQ(platform.calls.back(), "launch /Apps/Home [JA] [/Users/me/file.txt] [second]");
    EXPECT_STREQ(buffer, "/Users/me/file.txt");

    for (double value : {38.0, 0.0, -3.0, 7.0})
    {
        strcpy(buffer, "one");
        EXPECT_EQ(startProcess("/Apps/Home", value, buffer, 64), 0);
        EXPECT_EQ(platform.calls.back(), "launch /Apps/Home [EN] [one] []") << value;
    }
    strcpy(buffer, "a");
    EXPECT_EQ(startProcess("/Apps/Home", 30.9, buffer, 64), 0);
    EXPECT_EQ(platform.calls.back(), "launch /Apps/Home [TEN] [a] []");

    // Buffer 1 is read within its size: a full buffer without its NUL is
    // the text of its bytes, and the converted word is cut to fit it.
    strcpy(buffer, "/a/long/path other");
    EXPECT_EQ(startProcess("/Apps/Home", 1, buffer, 7), 0);
    EXPECT_EQ(std::string(buffer, 7), std::string("/a/lon\0", 7));
    EXPECT_EQ(platform.calls.back(), "launch /Apps/Home [FR] [/a/long] []");

    platform.launchAnswer = false;
    EXPECT_EQ(startProcess("/Apps/Home", 1, buffer, 64), -1);
    size_t calls = platform.calls.size();
    EXPECT_EQ(startProcess("/Apps/Home", 1, nullptr, 64), -1);
    EXPECT_EQ(platform.calls.size(), calls);
}

TEST(StartProcess, RefusesWhileTheHomePageRuns)
{
    PlatformDouble platform;
    platform.running = {"bash", "SuperQuorvelHelper"};
    char buffer[16] = "Vol:/x y";
    EXPECT_EQ(startProcess("/Apps/Home", 1, buffer, 16), -2);
    EXPECT_STREQ(buffer, "Vol:/x y"); // untouched
    EXPECT_TRUE(platform.calls.empty());
    platform.running = {"quorvel"};
    EXPECT_EQ(startProcess("/Apps/Home", 1, buffer, 16), 0);
}

TEST(StartProcess, RealLaunchAndRealRunningCheck)
{
    Scratch s;
    Recorder recorder(s, "home");
    char buffer[64] = "Vol:/data/update.dat extra";
    EXPECT_EQ(startProcess(("Vol:" + recorder.app).c_str(), 4, buffer, 64), 0);
    std::vector<std::string> got;
    ASSERT_TRUE(recorder.received(got));
    EXPECT_EQ(got, (std::vector<std::string>{"DE", "/data/update.dat", "extra"}));

    NamedProcess quorvel(s, "Quorvel");
    ASSERT_GT(quorvel.pid, 0);
    EXPECT_EQ(startProcess(recorder.app.c_str(), 4, buffer, 64), -2);
}
