#include "files/enumeration.h"
#include "tests/support/library.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace
{
size_t openDescriptors()
{
    return size_t(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                std::filesystem::directory_iterator()));
}

// Hands out names with getFile until it answers something other than 0.
std::pair<std::set<std::string>, float> drain(FolderStream*& stream)
{
    std::set<std::string> names;
    char buffer[256];
    float result;
    while ((result = getFile(stream, buffer, sizeof(buffer))) == 0)
        names.insert(buffer);
    return {names, result};
}
}

TEST(Enumeration, NamesWithoutALeadingDotThenTheEnd)
{
    Scratch s;
    s.file("a");
    s.file(".hidden");
    s.folder("b");
    EXPECT_EQ(getFileNumber(("Vol:" + s.root.string()).c_str()), 3);

    FolderStream* stream = nullptr;
    ASSERT_EQ(openFolder(stream, ("Vol:" + s.root.string()).c_str()), 0);
    auto [names, end] = drain(stream);
    EXPECT_EQ(names, (std::set<std::string>{"a", "b"}));
    EXPECT_TRUE(end == -3 || end == -4) << end; // -4 when a dot name came last
    char buffer[8];
    EXPECT_EQ(getFile(stream, buffer, 8), -3); // stays at its end
    EXPECT_EQ(closeFolder(stream), 0);
    EXPECT_EQ(closeFolder(stream), -1);
    EXPECT_EQ(getFile(stream, buffer, 8), -1);
}

TEST(Enumeration, EmptyFolder)
{
    Scratch s;
    EXPECT_EQ(getFileNumber(s.root.c_str()), 0);
    FolderStream* stream = nullptr;
    ASSERT_EQ(openFolder(stream, s.root.c_str()), 0);
    char buffer[8];
    EXPECT_EQ(getFile(stream, buffer, 8), -4);
    closeFolder(stream);
}

TEST(Enumeration, NameThatDoesNotFitIsConsumed)
{
    Scratch s;
    s.file("a-long-name");
    FolderStream* stream = nullptr;
    ASSERT_EQ(openFolder(stream, s.root.c_str()), 0);
    char buffer[8];
    memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(getFile(stream, buffer, 8), -1);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(std::string(buffer + 1, 7), "xxxxxxx");
    EXPECT_EQ(getFile(stream, buffer, 8), -3);
    EXPECT_EQ(getFile(stream, nullptr, 8), -1);
    closeFolder(stream);
}

TEST(Enumeration, OpenReplacesAndClosesTheOldStream)
{
    Scratch s;
    s.folder("one");
    s.file("one/x");
    size_t before = openDescriptors();
    FolderStream* stream = nullptr;
    ASSERT_EQ(openFolder(stream, s.path("one").c_str()), 0);
    for (int i = 0; i < 20; i++)
        ASSERT_EQ(openFolder(stream, s.root.c_str()), 0);
    EXPECT_EQ(openDescriptors(), before + 1);

    FolderStream* kept = stream;
    EXPECT_EQ(openFolder(stream, nullptr), -1); // a missing text changes nothing
    EXPECT_EQ(stream, kept);
    EXPECT_EQ(openFolder(stream, s.path("nothing").c_str()), -1); // a failed open leaves none
    EXPECT_EQ(stream, nullptr);
    EXPECT_EQ(openDescriptors(), before);
}

// A folder a script left open is closed when the library is unloaded.
TEST(Enumeration, UnloadingClosesTheOpenFolder)
{
    Scratch s;
    // Whatever loading itself keeps open (the libraries it brings) is counted first.
    {
        LoadedLibrary first(libraryPath("TesmarLauncherDLL"));
    }
    size_t before = openDescriptors();
    for (int round = 0; round < 30; round++)
    {
        LoadedLibrary library(libraryPath("TesmarLauncherDLL"));
        ASSERT_EQ(library.command("OpenFolder")(s.root.c_str(), 0, nullptr, 0, nullptr, 0, nullptr), 0);
    }
    EXPECT_EQ(openDescriptors(), before);
}

TEST(Enumeration, CountRefusals)
{
    Scratch s;
    EXPECT_EQ(getFileNumber(s.file("plain").c_str()), -1);
    EXPECT_EQ(getFileNumber(s.path("nothing").c_str()), -1);
    EXPECT_EQ(getFileNumber(nullptr), -5);
}
