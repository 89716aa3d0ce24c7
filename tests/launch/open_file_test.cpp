#include "launch/launch.h"
#include "tests/support/platform_double.h"
#include "recorder.h"

#include <gtest/gtest.h>

TEST(MakeFolderOld, CreatesTheLastNameInsideItsParent)
{
    Scratch s;
    s.folder("a/b");
    EXPECT_EQ(makeFolderOld(("Vol:" + s.path("a/b/c")).c_str()), 0);
    EXPECT_TRUE(s.exists("a/b/c"));
    EXPECT_EQ(makeFolderOld(s.path("a/b/c").c_str()), 0); // already there
    EXPECT_EQ(makeFolderOld(s.path("a/b/").c_str()), 1);  // empty name
    EXPECT_EQ(makeFolderOld(s.path("missing/c").c_str()), 1);
    EXPECT_FALSE(s.exists("missing"));
    s.file("a/file");
    EXPECT_EQ(makeFolderOld(s.path("a/file").c_str()), 1); // a file is not a folder
    EXPECT_EQ(makeFolderOld("nofolder"), 1);
    EXPECT_EQ(makeFolderOld("Vol:"), -3);
    EXPECT_EQ(makeFolderOld(nullptr), -1);
}

TEST(MakeFolderOld, AnEmptyParentIsTheRootFolder)
{
    PlatformDouble platform;
    platform.folders.insert("x");
    EXPECT_EQ(makeFolderOld("Vol:/abc"), 0);
    EXPECT_EQ(makeFolderOld("x\\y"), 0);
    EXPECT_EQ(platform.calls,
              (std::vector<std::string>{"pathKind /", "createFolder /abc", "pathKind x", "createFolder x/y"}));
}

TEST(LaunchAppWithFile, OpensWithTheChosenApplication)
{
    Scratch s;
    Recorder recorder(s);
    std::string file = s.file("model.obj");
    std::string app = "Vol:" + recorder.app;
    EXPECT_EQ(launchAppWithFile(("Vol:" + file).c_str(), app.c_str()), 0);
    std::vector<std::string> arguments;
    ASSERT_TRUE(recorder.received(arguments));
    EXPECT_EQ(arguments, std::vector<std::string>{file});

    EXPECT_EQ(launchAppWithFile(s.path("missing.obj").c_str(), app.c_str()), -43);
    EXPECT_EQ(launchAppWithFile(file.c_str(), s.path("no-app").c_str()), -10814);
    EXPECT_EQ(launchAppWithFile(nullptr, app.c_str()), -1);
}

// What the platform says of opening a file becomes the desktop's code.
TEST(LaunchAppWithFile, DefaultApplicationOutcomesBecomeCodes)
{
    PlatformDouble platform;
    const std::pair<OpenAnswer, float> cases[] = {
        {{OpenOutcome::Started}, 0},
        {{OpenOutcome::FileMissing}, -43},
        {{OpenOutcome::NoApplication}, -10814},
        {{OpenOutcome::OpenerFailed, 4}, 4},
        {{OpenOutcome::Failed}, -1},
    };
    for (const auto& [answer, code] : cases)
    {
        platform.openAnswer = answer;
        EXPECT_EQ(launchAppWithFile("Vol:/f.png", nullptr), code) << int(answer.outcome);
    }
}

// A file named like an option reaches the chosen application as a path.
TEST(LaunchAppWithFile, FileNamesNeverReadAsOptions)
{
    PlatformDouble platform;
    platform.files = {{"-v", ""}, {"sub/-v", ""}, {"/f/-v", ""}};
    struct Case
    {
        const char* text;
        const char* path;
        const char* argument;
    };
    const Case cases[] = {
        {"-v", "-v", "./-v"}, {"Vol:-v", "-v", "./-v"}, {"sub/-v", "sub/-v", "sub/-v"}, {"/f/-v", "/f/-v", "/f/-v"}};
    for (const Case& c : cases)
    {
        platform.calls.clear();
        EXPECT_EQ(runAppWithFile(c.text, "Vol:/opt/app"), 0);
        EXPECT_EQ(launchAppWithFile(c.text, "Vol:/opt/app"), 0);
        std::string launch = std::string("launch /opt/app [") + c.argument + "]";
        EXPECT_EQ(platform.calls, (std::vector<std::string>{launch, std::string("pathKind ") + c.path, launch})) << c.text;
    }
}

TEST(LaunchAppWithFile, DefaultApplicationThroughTheFileOpener)
{
    Scratch s;
    // A stand-in file opener on the search path records what it was asked;
    // asked for a "slow" file it stays open as a viewer would.
    std::string bin = s.folder("bin");
    std::string record = s.path("opened");
    std::ofstream(bin + "/xdg-open") << "#!/bin/sh\nprintf '%s' \"$1\" > '" + record +
                                            "'\ncase \"$1\" in *slow*) exec sleep 8 </dev/null >/dev/null 2>&1;; esac\nexit 3\n";
    chmod((bin + "/xdg-open").c_str(), 0755);
    std::string path = getenv("PATH");
    setenv("PATH", (bin + ":" + path).c_str(), 1);
    auto opened = [&] {
        std::ifstream file(record);
        return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    };

    std::string file = s.file("a b.png");
    EXPECT_EQ(launchAppWithFile(("Vol:" + file).c_str(), nullptr), 3); // the opener's status
    EXPECT_EQ(opened(), file);
    EXPECT_EQ(launchAppWithFile(s.path("missing").c_str(), nullptr), -43);

    // A relative path cannot pass for an option.
    std::filesystem::path folder = std::filesystem::current_path();
    std::filesystem::current_path(s.root);
    s.file("-v.png");
    EXPECT_EQ(launchAppWithFile("-v.png", nullptr), 3);
    EXPECT_EQ(opened(), "./-v.png");
    std::filesystem::current_path(folder);

    // An opener still running after the wait counts as started.
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(launchAppWithFile(s.file("slow.png").c_str(), nullptr, 200), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(zombieChildren(), 0);
}
