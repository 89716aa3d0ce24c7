// The file system commands through the built library.
#include "library.h"
#include "scratch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

namespace
{
float call(const LoadedLibrary& library, const char* name, const char* text, char* buffer1 = nullptr,
           int32_t buffer1Size = 0)
{
    HostCommandEntry command = library.command(name);
    if (!command)
    {
        ADD_FAILURE() << "no command " << name;
        return -99;
    }
    return command(text, 0, buffer1, buffer1Size, nullptr, 0, nullptr);
}
}

TEST(FileCommands, MissingArgumentsHaveTheirOwnResults)
{
    LoadedLibrary library(libraryPath("TesmarLauncherDLL"));
    ASSERT_TRUE(library.handle);
    const std::pair<const char*, float> nullText[] = {
        {"MakeFolder", -2},  {"CreateFolder", -2}, {"FolderExists", 0},  {"DeleteFolder", -1},
        {"EmptyFolder", -5}, {"OpenFolder", -1},   {"GetFileNumber", -5}, {"FileDelete", -1},
        {"FileRename", -1},  {"FileCopyTo", -1},   {"DeleteFilesInFolder", -1},
    };
    char folder[] = "/tmp";
    for (auto [name, result] : nullText)
        EXPECT_EQ(call(library, name, nullptr, folder, 5), result) << name;
    for (const char* name : {"FileRename", "FileCopyTo", "DeleteFilesInFolder"})
        EXPECT_EQ(call(library, name, "/tmp/x", nullptr, 0), -1) << name;
    for (const char* name : {"GetPublicFolder", "GetUserPath", "GrabCurrentTime", "GetFile"})
        EXPECT_EQ(call(library, name, nullptr, nullptr, 64), -1) << name;
    EXPECT_EQ(call(library, "Version", nullptr), 2021.0f);
    EXPECT_EQ(call(library, "GetHello", nullptr), 12.5f);
    EXPECT_EQ(call(library, "HelloF", nullptr), 0);
}

TEST(FileCommands, ScriptSession)
{
    LoadedLibrary library(libraryPath("TesmarLauncherDLL"));
    ASSERT_TRUE(library.handle);
    Scratch s;
    // Names beyond ASCII reach the system as they are.
    std::string hostFolder = "Vol:" + s.path("exports \u00e9\u65e5\u672c");
    EXPECT_EQ(call(library, "CreateFolder", hostFolder.c_str()), 0);
    EXPECT_EQ(call(library, "FolderExists", hostFolder.c_str()), 1);
    s.file("exports \u00e9\u65e5\u672c/mesh \u00fc.obj");
    EXPECT_EQ(call(library, "GetFileNumber", hostFolder.c_str()), 1);
    EXPECT_EQ(call(library, "OpenFolder", hostFolder.c_str()), 0);
    char name[64];
    EXPECT_EQ(call(library, "GetFile", nullptr, name, 64), 0);
    EXPECT_STREQ(name, "mesh \u00fc.obj");
    float end = call(library, "GetFile", nullptr, name, 64);
    EXPECT_TRUE(end == -3 || end == -4) << end; // -4 when "." or ".." came last
    EXPECT_EQ(call(library, "CloseFolder", nullptr), 0);
    EXPECT_EQ(call(library, "EmptyFolder", hostFolder.c_str()), 0);
    EXPECT_EQ(call(library, "DeleteFolder", hostFolder.c_str()), 0);
    EXPECT_FALSE(s.exists("exports \u00e9\u65e5\u672c"));

    char home[256];
    EXPECT_EQ(call(library, "GetPublicFolder", nullptr, home, 256), 1);
#if defined(_WIN32)
    EXPECT_STREQ(home, "C:\\Users");
#else
    EXPECT_STREQ(home, "/home");
#endif
}

// Copying keeps the data and the modification time, replaces the
// destination whole and leaves nothing else behind; renaming replaces.
TEST(FileCommands, CopyRenameAndDelete)
{
    LoadedLibrary library(libraryPath("TesmarLauncherDLL"));
    ASSERT_TRUE(library.handle);
    Scratch s;
    std::string data(200000, 'd');
    std::string from = s.file("source \u00e9.bin", data);
    auto written = std::chrono::floor<std::chrono::seconds>(std::filesystem::file_time_type::clock::now() -
                                                            std::chrono::hours(24 * 400));
    std::filesystem::last_write_time(utf8Path(from), written);
    s.file("copy \u65e5.bin", "old");
    std::string to = s.path("copy \u65e5.bin");
    EXPECT_EQ(call(library, "FileCopyTo", ("Vol:" + from).c_str(), to.data()), 0);
    std::ifstream copied(utf8Path(to), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copied), std::istreambuf_iterator<char>()), data);
    copied.close();
    EXPECT_TRUE(std::filesystem::last_write_time(utf8Path(to)) == written);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(s.root), std::filesystem::directory_iterator()), 2);

    // A missing source removes the old file, never a folder.
    std::string folder = s.folder("kept");
    EXPECT_EQ(call(library, "FileCopyTo", s.path("missing").c_str(), folder.data()), 0);
    EXPECT_TRUE(s.exists("kept"));
    std::filesystem::remove(utf8Path(folder));

    EXPECT_EQ(call(library, "FileRename", from.c_str(), to.data()), 0);
    EXPECT_FALSE(s.exists("source \u00e9.bin"));
    EXPECT_EQ(call(library, "FileDelete", to.c_str()), 0);
    EXPECT_EQ(call(library, "FileDelete", to.c_str()), -1);
    EXPECT_TRUE(std::filesystem::is_empty(s.root));
}
