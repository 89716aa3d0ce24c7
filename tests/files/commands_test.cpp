// The file system commands through the built library.
#include "tests/support/library.h"
#include "tests/support/scratch.h"
#include "tests/support/vyx_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <set>

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

float call(const LoadedLibrary& library, const char* name, const std::string& text, std::string buffer1)
{
    return call(library, name, text.c_str(), buffer1.data(), int32_t(buffer1.size() + 1));
}

std::set<std::string> names(const std::filesystem::path& folder)
{
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        found.insert(utf8Text(entry.path().filename()));
    return found;
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

// Removals take the names found exactly, also those that Windows rewrites in
// a plain path: a trailing "." or space dropped, device names with any
// extension read as the device.
TEST(FileCommands, RemovalsTakeExactlyTheNamesFound)
{
    LoadedLibrary library(libraryPath("TesmarLauncherDLL"));
    Scratch s;
    s.folder("f/Textures");
    for (const char* name : {"data", "data.", "name.txt", "name.txt ", "con.txt", "nul.psd", "x.psd"})
        s.file(std::string("f/") + name);
    std::string folder = s.path("f");
    EXPECT_EQ(call(library, "DeleteFilesInFolder", "psd", folder), 0);
    EXPECT_EQ(names(s.root / "f"), (std::set<std::string>{"data", "data.", "name.txt", "name.txt ", "con.txt", "Textures"}));
    EXPECT_EQ(call(library, "EmptyFolder", folder.c_str()), 0);
    EXPECT_EQ(names(s.root / "f"), (std::set<std::string>{"data", "Textures"}));
}

// A rename never replaces an entry of another kind: both stay as they were.
TEST(FileCommands, RenameKeepsEntriesOfAnotherKind)
{
    LoadedLibrary library(libraryPath("TesmarLauncherDLL"));
    Scratch s;
    s.folder("folder/inside");
    std::string folder = s.path("folder"), file = s.file("file", "data");
    EXPECT_EQ(call(library, "FileRename", folder, file), -1);
    EXPECT_EQ(call(library, "FileRename", file, folder), -1);
    EXPECT_EQ(names(s.root), (std::set<std::string>{"folder", "file"}));
    EXPECT_TRUE(s.exists("folder/inside"));
    EXPECT_EQ(std::filesystem::file_size(s.root / "file"), 4u);
    // A folder replaces an empty folder on Linux only.
    std::string empty = s.folder("empty");
#if defined(_WIN32)
    EXPECT_EQ(call(library, "FileRename", folder, empty), -1);
#else
    EXPECT_EQ(call(library, "FileRename", folder, empty), 0);
#endif
}

// Folders deeper than 260 characters through the folder, enumeration, file
// and export commands; on Windows also spelt in the "\\?\" form.
TEST(FileCommands, LongPaths)
{
    LoadedLibrary library(libraryPath("TesmarLauncherDLL"));
    Scratch s;
    std::string deep = utf8Text(s.root);
    for (char level = 'a'; level < 'h'; level++)
    {
        deep += "/" + std::string(45, level);
        ASSERT_EQ(call(library, "MakeFolder", ("Vol:" + deep).c_str()), 0);
    }
    ASSERT_GT(deep.size(), 300u);
    VyxMeshData mesh;
    mesh.vertices = {0, 0, 0, 1, 0, 0, 1, 1, 0};
    mesh.faces = {0, 1, 2};
    mesh.faceTag = 20003;
    ASSERT_TRUE(writeBytes(s.root / "mesh.Vyx", vyxMeshFile(mesh)));
    std::vector<std::string> spellings = {deep};
#if defined(_WIN32)
    std::string verbatim = "\\\\?\\" + deep;
    std::replace(verbatim.begin(), verbatim.end(), '/', '\\');
    spellings.push_back(verbatim);
#endif
    for (const std::string& folder : spellings)
    {
        SCOPED_TRACE(folder);
        EXPECT_EQ(call(library, "FolderExists", folder.c_str()), 1);
        EXPECT_EQ(call(library, "FileCopyTo", s.path("mesh.Vyx"), folder + "/copy.Vyx"), 0);
        EXPECT_EQ(call(library, "FileRename", folder + "/copy.Vyx", folder + "/Mesh.Vyx"), 0);
        EXPECT_EQ(call(library, "GetFileNumber", folder.c_str()), 1);
        char name[64] = {};
        EXPECT_EQ(call(library, "OpenFolder", folder.c_str()), 0);
        EXPECT_EQ(call(library, "GetFile", nullptr, name, sizeof name), 0);
        EXPECT_STREQ(name, "Mesh.Vyx");
        EXPECT_EQ(call(library, "CloseFolder", nullptr), 0);
        std::string list = folder + "/" + '\0' + "Mesh" + '\0';
        for (auto [command, file] : {std::pair{"doExportCollada", "/out.dae"}, {"doAddMeshes", "/out.abc"}})
            EXPECT_EQ(call(library, command, (folder + file).c_str(), list.data(), int32_t(list.size())), 0);
        EXPECT_EQ(call(library, "GetFileNumber", folder.c_str()), 3);
        EXPECT_EQ(call(library, "DeleteFilesInFolder", "abc", folder), 0);
        EXPECT_EQ(call(library, "FileDelete", (folder + "/out.dae").c_str()), 0);
        EXPECT_EQ(call(library, "EmptyFolder", folder.c_str()), 0);
        EXPECT_EQ(call(library, "GetFileNumber", folder.c_str()), 0);
    }
    // Deepest first: the standard library's removal stops at 260 characters.
    std::string folder = spellings.back();
    for (int level = 0; level < 7; level++, folder.resize(folder.find_last_of("/\\")))
        EXPECT_EQ(call(library, "DeleteFolder", folder.c_str()), 0);
    EXPECT_EQ(names(s.root), std::set<std::string>{"mesh.Vyx"});
}
