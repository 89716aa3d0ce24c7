// Launching under Wine through the DLL: a recorder program receives exactly
// the arguments given, the command returns before it ends, and it counts as
// running meanwhile.
#include "tests/support/library.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <thread>

namespace
{
using Arguments = std::vector<std::string>;

// A copy of the recorder program under a name of the test's.
struct Recorder
{
    std::string app;

    Recorder(const Scratch& scratch, const std::string& name)
    {
        wchar_t self[MAX_PATH];
        std::wstring folder(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
        folder.resize(folder.find_last_of(L"\\/") + 1);
        app = scratch.path(name + ".exe");
        CopyFileW((folder + L"recorder.exe").c_str(), utf8Path(app).c_str(), FALSE);
    }
    bool done() const { return std::filesystem::exists(utf8Path(app + ".done")); }
    // The arguments of the launch, once the program has written them; taking
    // them lets it end, and it is waited for, as a running program's file
    // cannot be removed.
    bool received(Arguments& list) const
    {
        std::filesystem::path file = utf8Path(app + ".arguments");
        for (int i = 0; i < 500 && !std::filesystem::exists(file); i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::ifstream in(file, std::ios::binary);
        std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.is_open())
            return false;
        in.close();
        list.clear();
        for (size_t start = 0; start < all.size();)
        {
            size_t end = all.find('\0', start);
            list.push_back(all.substr(start, end - start));
            start = end + 1;
        }
        std::filesystem::remove(file);
        for (int i = 0; i < 500 && !done(); i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::filesystem::remove(utf8Path(app + ".done"));
        return true;
    }
};

float call(const LoadedLibrary& library, const char* name, const char* text, const char* buffer1)
{
    HostCommandEntry command = library.command(name);
    std::string buffer = buffer1 ? buffer1 : "";
    return command ? command(text, 0, buffer1 ? buffer.data() : nullptr, int32_t(buffer.size() + 1), nullptr, 0,
                             nullptr)
                   : -99;
}
}

TEST(WindowsLaunch, ArgumentsArriveExactly)
{
    LoadedLibrary library(libraryPath("TesmarLauncherDLL"));
    Scratch s;
    Recorder recorder(s, "recorder \u00e9");
    const Arguments cases[] = {
        {""},
        {"a b", "\ttab", "quote\"d", "\"", "two\\\\\"quotes\\\"", "end\\", "end\\\\", "\\\\server\\share\\"},
        {"\u00e9 \u65e5\u672c", "", "x"},
    };
    for (const Arguments& arguments : cases)
    {
        std::string lines;
        for (size_t i = 0; i < arguments.size(); i++)
            lines += (i ? "\n" : "") + arguments[i];
        EXPECT_EQ(call(library, "RunAppWithArgs", recorder.app.c_str(), lines.c_str()), 0);
        Arguments got;
        ASSERT_TRUE(recorder.received(got));
        EXPECT_EQ(got, arguments);
    }
    EXPECT_EQ(call(library, "RunAppWithArgs", s.path("missing.exe").c_str(), "a"), -1);
    EXPECT_EQ(call(library, "RunAppWithArgs", s.root.string().c_str(), "a"), -1); // a folder
}

TEST(WindowsLaunch, ReturnsAtOnceAndRunsMeanwhile)
{
    LoadedLibrary library(libraryPath("TesmarLauncherDLL"));
    Scratch s;
    Recorder recorder(s, "MySculptTool");
    EXPECT_EQ(call(library, "StartAppArg", recorder.app.c_str(), "x"), 0);
    // The program runs on until its arguments are received.
    EXPECT_FALSE(recorder.done());
    EXPECT_EQ(call(library, "IsAppRunning", "SculptTool", nullptr), 1);
    EXPECT_EQ(call(library, "IsAppRunning", "SculptTool.exe", nullptr), 0); // names go without ".exe"
    Arguments got;
    ASSERT_TRUE(recorder.received(got));
    EXPECT_EQ(got, Arguments{"x"});
    EXPECT_EQ(call(library, "LaunchAppWithFile", s.path("missing.obj").c_str(), nullptr), -43);
    // No application opens this kind of file.
    EXPECT_EQ(call(library, "LaunchAppWithFile", s.file("scene.tesmar-none").c_str(), nullptr), -10814);
}
