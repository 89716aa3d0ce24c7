// The dialog commands of the built library with zenity's real panels, on an
// X server of the test's own, answered at the keyboard as a person would.
#include "tests/support/library.h"
#include "person.h"
#include "tests/support/xvfb.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

namespace fs = std::filesystem;

namespace
{
// The colour panel has no title of its own: its window is named for zenity.
const char kColorTitle[] = "zenity";

class RealDialogs : public testing::Test
{
  protected:
    Xvfb server{"1280x1024x24"};
    LoadedLibrary library{libraryPath("TesmarLauncherDLL")};
    fs::path root = fs::canonical(fs::temp_directory_path()) / ("tesmar-real-dialogs-" + std::to_string(getpid()));
    fs::path previous = fs::current_path();

    void SetUp() override
    {
        ASSERT_FALSE(server.display.empty());
        ASSERT_TRUE(library.handle);
        fs::remove_all(root);
        // The panels keep their state in the scratch folder, and with the
        // recent-files view off the file panel opens in the current folder.
        fs::create_directories(root / "config" / "gtk-3.0");
        std::ofstream(root / "config" / "gtk-3.0" / "settings.ini") << "[Settings]\ngtk-recent-files-enabled=false\n";
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
        setenv("GSETTINGS_BACKEND", "memory", 1);
        setenv("NO_AT_BRIDGE", "1", 1);
        // The mnemonics typed below are the untranslated ones.
        setenv("LC_ALL", "C.UTF-8", 1);
        setenv("DISPLAY", server.display.c_str(), 1);

        fs::create_directories(root / "models");
        fs::create_directories(root / "meshes");
        for (const char* name : {"models/a.obj", "models/b.Ma", "models/c.txt", "meshes/d.obj"})
            std::ofstream(root / name) << "v";
        fs::create_symlink(root / "meshes" / "d.obj", root / "models" / "link.obj");
        fs::current_path(root / "models");
    }

    void TearDown() override
    {
        fs::current_path(previous);
        fs::remove_all(root);
    }

    float call(const char* name, const char* text, double value, char* buffer1, int32_t buffer1Size)
    {
        HostCommandEntry command = library.command(name);
        EXPECT_TRUE(command) << name;
        return command ? command(text, value, buffer1, buffer1Size, nullptr, 0, nullptr) : -99;
    }

    std::string filePath(double number)
    {
        char path[512] = "none";
        call("GetFilePath", nullptr, number, path, sizeof(path));
        return path;
    }

    std::string path(const char* name) const { return (root / name).string(); }
};
}

TEST_F(RealDialogs, ChosenFilesFollowTheTypeListAndOutliveACancelledPanel)
{
    char types[64] = " .OBJ, .ma";
    Person selectAll({"Pick models", {}, {"key", "ctrl+a", "Return"}, path("models")});
    EXPECT_EQ(call("GetFilesDialog", "Pick models", 0, types, sizeof(types)), 3);
    EXPECT_TRUE(selectAll.done());
    EXPECT_STREQ(types, "OBJ,ma");
    // The panel's order is its own; the link comes back resolved.
    std::vector<std::string> chosen = {filePath(1), filePath(2), filePath(3)};
    EXPECT_EQ(std::set<std::string>(chosen.begin(), chosen.end()),
              (std::set<std::string>{path("models/a.obj"), path("models/b.Ma"), path("meshes/d.obj")}));
    EXPECT_EQ(filePath(2.9), chosen[1]);
    EXPECT_EQ(filePath(4), "none");

    Person cancel({"Pick models", {}, {"key", "Escape"}});
    EXPECT_EQ(call("GetFilesDialog", "Pick models", 0, types, sizeof(types)), 0);
    EXPECT_TRUE(cancel.done());
    EXPECT_EQ((std::vector<std::string>{filePath(1), filePath(2), filePath(3)}), chosen);
}

TEST_F(RealDialogs, TypedFileIsChosenWithItsLinkResolved)
{
    Person typist({"Pick one",
                   {{"key", "ctrl+l"}, {"type", "--delay", "20", path("models/link.obj")}},
                   {"key", "Return"},
                   path("models")});
    EXPECT_EQ(call("GetFilesDialog", "Pick one", 0, nullptr, 0), 1);
    EXPECT_TRUE(typist.done());
    EXPECT_EQ(filePath(1), path("meshes/d.obj"));
    EXPECT_EQ(call("ClearFileList", nullptr, 0, nullptr, 0), 0);
    EXPECT_EQ(filePath(1), "none");
}

TEST_F(RealDialogs, TypedFolderArrivesInBuffer1AndCancelLeavesIt)
{
    char folder[256] = "keep";
    Person typist({"Select Folder",
                   {{"key", "ctrl+l"}, {"type", "--delay", "20", path("meshes")}},
                   {"key", "Return"},
                   path("models")});
    EXPECT_EQ(call("ChooseFolder", nullptr, 0, folder, sizeof(folder)), 0);
    EXPECT_TRUE(typist.done());
    EXPECT_EQ(std::string(folder), path("meshes"));

    Person cancel({"Select Folder", {}, {"key", "Escape"}});
    EXPECT_EQ(call("ChooseFolder", nullptr, 0, folder, sizeof(folder)), -1);
    EXPECT_TRUE(cancel.done());
    EXPECT_EQ(std::string(folder), path("meshes"));
}

TEST_F(RealDialogs, ChosenColourComesBackPackedAndCancelAnswersMinus128)
{
    char color[32] = "0, 0, 65535";
    Person red({kColorTitle, {{"key", "ctrl+a"}, {"type", "#FF0000"}, {"key", "Return"}}, {"key", "alt+s"}});
    EXPECT_EQ(call("GetColorPicker", nullptr, 0, color, sizeof(color)), 1);
    EXPECT_TRUE(red.done());
    EXPECT_STREQ(color, "16711680");

    // The default presets the panel: accepted as it opens, it comes back.
    strcpy(color, "65535, 65535, 65535");
    Person accept({kColorTitle, {}, {"key", "alt+s"}});
    EXPECT_EQ(call("GetColorPicker", nullptr, 0, color, sizeof(color)), 1);
    EXPECT_TRUE(accept.done());
    EXPECT_STREQ(color, "16777215");

    strcpy(color, "65535, 0, 0");
    Person cancel({kColorTitle, {}, {"key", "Escape"}});
    EXPECT_EQ(call("GetColorPicker", nullptr, 0, color, sizeof(color)), -128);
    EXPECT_TRUE(cancel.done());
    EXPECT_STREQ(color, "65535, 0, 0");
}
