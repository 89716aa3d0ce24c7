// Running zenity, with a stand-in program of that name first on PATH: the
// arguments arrive as given, the answer is read whole, and the child is reaped
// whatever it does.
#include "platform/linux_zenity.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>

namespace
{
struct StandIn : testing::Test
{
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tesmar-zenity-" + std::to_string(getpid()));
    std::string path = getenv("PATH") ? getenv("PATH") : "";

    void SetUp() override
    {
        std::filesystem::create_directories(folder);
        setenv("PATH", (folder.string() + ":" + path).c_str(), 1);
        setenv("DISPLAY", ":stand-in", 1);
    }
    void TearDown() override
    {
        setenv("PATH", path.c_str(), 1);
        std::filesystem::remove_all(folder);
    }
    // The stand-in zenity: a script body.
    void zenity(const std::string& body)
    {
        std::filesystem::path program = folder / "zenity";
        std::ofstream(program) << "#!/bin/sh\n" << body << "\n";
        chmod(program.c_str(), 0755);
    }
    static bool noChildLeft() { return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD; }
};
}

TEST_F(StandIn, ArgumentsArriveAsGivenAndTheAnswerWhole)
{
    zenity("for word in \"$@\"; do printf '[%s]' \"$word\"; done; exit 0");
    std::string answer;
    EXPECT_EQ(runZenity({"--title=a \"b\" $(c) ;d", "", "--x"}, answer), 0);
    EXPECT_EQ(answer, "[--title=a \"b\" $(c) ;d][][--x]");
    EXPECT_TRUE(noChildLeft());
}

TEST_F(StandIn, ExitStatusIsTheAnswerAndASignalRefusesIt)
{
    zenity("printf partial; exit 1");
    std::string answer;
    EXPECT_EQ(runZenity({}, answer), 1);
    zenity("printf partial; kill -9 $$");
    EXPECT_EQ(runZenity({}, answer), -1);
    EXPECT_TRUE(noChildLeft());
}

TEST_F(StandIn, AHelperHoldingTheOutputDoesNotHoldTheCall)
{
    zenity("sleep 3 & printf '/a\\n'; exit 0");
    std::string answer;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(runZenity({}, answer), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(answer, "/a\n");
}

TEST_F(StandIn, AnAnswerPastTheLimitIsRefused)
{
    zenity("head -c " + std::to_string(kZenityAnswerLimit + 1) + " /dev/zero; exit 0");
    std::string answer;
    EXPECT_EQ(runZenity({}, answer), -1);
    zenity("head -c " + std::to_string(kZenityAnswerLimit) + " /dev/zero; exit 0");
    EXPECT_EQ(runZenity({}, answer), 0);
    EXPECT_EQ(answer.size(), kZenityAnswerLimit);
    EXPECT_TRUE(noChildLeft());
}

TEST_F(StandIn, NothingRunsWithoutADisplayOrAProgram)
{
    zenity("touch '" + (folder / "ran").string() + "'");
    std::string answer;
    unsetenv("DISPLAY");
    EXPECT_EQ(runZenity({}, answer), -1);
    setenv("DISPLAY", "", 1);
    EXPECT_EQ(runZenity({}, answer), -1);
    EXPECT_FALSE(std::filesystem::exists(folder / "ran"));

    setenv("DISPLAY", ":stand-in", 1);
    setenv("PATH", folder.c_str(), 1);
    std::filesystem::remove(folder / "zenity");
    EXPECT_EQ(runZenity({}, answer), -1);
}
