#include "files/folders.h"
#include "files/small_queries.h"
#include "tests/support/platform_double.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>

TEST(Folders, MakeExistsDelete)
{
    Scratch s;
    EXPECT_EQ(makeFolder(("Vol:" + s.path("new")).c_str()), 0);
    EXPECT_TRUE(s.exists("new"));
    EXPECT_EQ(makeFolder(s.path("new").c_str()), -1); // already there
    EXPECT_EQ(makeFolder(s.path("missing/child").c_str()), -1);
    EXPECT_FALSE(s.exists("missing"));
    EXPECT_EQ(makeFolder(nullptr), -2);

    s.file("plain.txt");
    EXPECT_EQ(folderExists(s.path("plain.txt").c_str()), 1);
    EXPECT_EQ(folderExists(("x:" + s.path("new")).c_str()), 1);
    EXPECT_EQ(folderExists(s.path("nothing").c_str()), 0);
    EXPECT_EQ(folderExists(nullptr), 0);

    s.file("new/inside");
    EXPECT_EQ(deleteFolder(s.path("new").c_str()), -1); // not empty: nothing removed
    EXPECT_TRUE(s.exists("new/inside"));
    std::filesystem::remove(s.path("new/inside"));
    EXPECT_EQ(deleteFolder(s.path("new").c_str()), 0);
    EXPECT_FALSE(s.exists("new"));
    EXPECT_EQ(deleteFolder(nullptr), -1);
}

TEST(Folders, EmptyFolderRemovesNamesWithADot)
{
    Scratch s;
    s.folder("Textures");
    s.file("Textures/keep.png");
    s.file("a.txt");
    s.file("noextension");
    s.file(".hidden");
    s.folder("old.bak");
    s.folder("full.d");
    s.file("full.d/inside");
    s.file("a.b\\c"); // the name after its last backslash holds no "."
    s.file("c\\d.e");
    EXPECT_EQ(emptyFolder(("Vol:" + s.root.string()).c_str()), 0); // without its trailing "/"
    EXPECT_TRUE(s.exists("Textures/keep.png"));
    EXPECT_TRUE(s.exists("noextension"));
    EXPECT_TRUE(s.exists("full.d/inside")); // a folder that is not empty stays
    EXPECT_FALSE(s.exists("a.txt"));
    EXPECT_FALSE(s.exists(".hidden"));
    EXPECT_FALSE(s.exists("old.bak"));
    EXPECT_TRUE(s.exists("a.b\\c"));
    EXPECT_FALSE(s.exists("c\\d.e"));

    EXPECT_EQ(emptyFolder(s.path("nothing").c_str()), -1);
    EXPECT_EQ(emptyFolder(nullptr), -5);
}

TEST(Folders, EmptyFolderTakesLongPaths)
{
    Scratch s;
    std::string deep = s.root.string();
    for (int i = 0; i < 6; i++)
    {
        deep += "/" + std::string(60, char('a' + i));
        std::filesystem::create_directory(deep);
    }
    ASSERT_GT(deep.size(), 300u);
    std::string file = deep + "/" + std::string(100, 'f') + ".txt";
    std::ofstream(file) << "x";
    EXPECT_EQ(ClearFolder(deep), 0);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(Folders, DeleteFilesByExactExtension)
{
    Scratch s;
    for (const char* name : {"a.psd", "b.PSD", "c.psd.bak", ".psd", "psd"})
        s.file(name);
    s.folder("d.psd");
    s.file("d.psd/inside");
    EXPECT_EQ(deleteFilesByExtension("psd", s.root.c_str()), 0);
    EXPECT_FALSE(s.exists("a.psd"));
    EXPECT_FALSE(s.exists("d.psd")); // a folder goes with everything in it
    for (const char* name : {"b.PSD", "c.psd.bak", ".psd", "psd"})
        EXPECT_TRUE(s.exists(name)) << name;

    s.file("e.tmp");
    s.file("f.tmp");
    s.file("g.tmp");
    EXPECT_EQ(deleteFilesByExtension("*.tmp", s.root.c_str()), 0);
    EXPECT_FALSE(s.exists("e.tmp"));

    // An empty extension would select every entry without one: refused.
    for (const char* pattern : {"", "*.", "x."})
        EXPECT_EQ(deleteFilesByExtension(pattern, s.root.c_str()), -1) << pattern;
    EXPECT_TRUE(s.exists("psd"));
    EXPECT_EQ(deleteFilesByExtension("psd", s.path("nothing").c_str()), -1);
    EXPECT_EQ(deleteFilesByExtension(nullptr, s.root.c_str()), -1);
    EXPECT_EQ(deleteFilesByExtension("psd", nullptr), -1);
}

TEST(Folders, DeleteFilesSelectsByTheTextAfterTheFirstDot)
{
    PlatformDouble platform;
    platform.listing = {"x.b.c", "y.c", "z.b"};
    EXPECT_EQ(deleteFilesByExtension("a.b.c", "/f"), 0); // extension "b.c": no entry has it
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"removeInFolder (recursive) /f"}));
    EXPECT_EQ(deleteFilesByExtension(".b", "/f/"), 0);
    EXPECT_EQ(platform.calls.back(), "remove z.b");
    platform.listFolderAnswer = false;
    EXPECT_EQ(deleteFilesByExtension("b", "/f"), -1);
}

namespace
{
size_t entriesIn(const std::string& folder)
{
    return size_t(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

// The system's removal, with the folder swapped for a link to another at its
// first look at an entry: once the folder is open and listed, before
// anything in it is removed.
struct SwapDuringRemoval
{
    std::string shared, moved, other;
    size_t heldAtSwap = 0; // what the folder held when it was swapped
    bool swapped = false;
    EntryPick pick = nullptr;
    const void* context = nullptr;
    FileServices services = systemFileServices();

    static inline SwapDuringRemoval* current = nullptr;

    SwapDuringRemoval(std::string sharedFolder, std::string movedTo, std::string linkedTo)
        : shared(std::move(sharedFolder)), moved(std::move(movedTo)), other(std::move(linkedTo))
    {
        current = this;
        services.removeInFolder = remove;
        installServices({&services});
    }
    ~SwapDuringRemoval() { installServices({}); }

    static bool pickAfterSwap(const std::string& name, const void*)
    {
        SwapDuringRemoval& s = *current;
        if (!s.swapped)
        {
            std::filesystem::rename(s.shared, s.moved);
            std::filesystem::create_directory_symlink(s.other, s.shared);
            s.heldAtSwap = entriesIn(s.moved);
            s.swapped = true;
        }
        return s.pick(name, s.context);
    }
    static bool remove(const char* folder, EntryPick pick, const void* context, bool recursive)
    {
        current->pick = pick;
        current->context = context;
        return systemFileServices().removeInFolder(folder, pickAfterSwap, nullptr, recursive);
    }
};
}

// Another user of a shared folder swaps it for a link to the caller's files
// while a removal runs: the removal stays in the folder it opened, and in
// the folders it went into from there.
TEST(Folders, RemovalsStayInTheFolderOpened)
{
    for (bool recursive : {true, false})
    {
        Scratch s;
        std::string shared = s.folder("shared"), mine = s.folder("mine");
        for (const std::string folder : {"shared/", "mine/"})
        {
            s.folder(folder + "d.tmp");
            for (const char* name : {"a.tmp", "b.tmp", "c.tmp", "d.tmp/inner"})
                s.file(folder + name);
        }
        SwapDuringRemoval swap(shared, s.path("moved"), mine);
        EXPECT_EQ(recursive ? deleteFilesByExtension("tmp", shared.c_str()) : emptyFolder(shared.c_str()), 0);
        const char* command = recursive ? "DeleteFilesInFolder" : "EmptyFolder";
        ASSERT_TRUE(swap.swapped) << command << " removed without looking at an entry";
        EXPECT_EQ(swap.heldAtSwap, 4u) << command;
        EXPECT_TRUE(std::filesystem::is_symlink(shared)) << command;
        EXPECT_EQ(entriesIn(mine), 4u) << command;
        EXPECT_TRUE(s.exists("mine/d.tmp/inner")) << command;
        // The folder with a file inside goes with DeleteFilesInFolder alone.
        EXPECT_EQ(entriesIn(s.path("moved")), recursive ? 0u : 1u) << command;
    }
}

// A tree far deeper than a path can name, made one level at a time through
// descriptors; removed the same way when the command under test left it.
static bool makeChain(int folder, const char* name, int depth)
{
    int at = dup(folder);
    for (int level = 0; level < depth && at >= 0; level++)
    {
        const char* next = level == 0 ? name : "d";
        int inner = mkdirat(at, next, 0700) == 0 ? openat(at, next, O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
        close(at);
        at = inner;
    }
    return at >= 0 && close(at) == 0;
}

static void removeChain(int folder, const std::string& name)
{
    // The inner folder takes its parent's place, one level at a time.
    while (renameat(folder, (name + "/d").c_str(), folder, "chain-up") == 0)
    {
        unlinkat(folder, name.c_str(), AT_REMOVEDIR);
        renameat(folder, "chain-up", folder, name.c_str());
    }
    unlinkat(folder, name.c_str(), AT_REMOVEDIR);
}

// 25,000 levels removed on a 256 KiB stack with a handful of descriptors
// free, in a child of its own: ten bytes of stack a level would be too
// many. In memory where the system has a folder there, as making and
// removing so many folders on a disk takes long.
TEST(Folders, DeepTreesNeedNeitherStackNorDescriptors)
{
    std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path().string();
    std::string root = base + "/tesmar-deep-XXXXXX";
    ASSERT_TRUE(mkdtemp(root.data()));
    int folder = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_TRUE(makeChain(folder, "deep.psd", 25000));
    pid_t child = fork();
    if (child == 0)
    {
        rlimit stack = {256 << 10, 256 << 10}, files = {rlim_t(folder) + 8, rlim_t(folder) + 8};
        setrlimit(RLIMIT_STACK, &stack);
        setrlimit(RLIMIT_NOFILE, &files);
        _exit(deleteFilesByExtension("psd", root.c_str()) == 0 ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_NE(faccessat(folder, "deep.psd", F_OK, AT_SYMLINK_NOFOLLOW), 0);
    removeChain(folder, "deep.psd");
    close(folder);
    rmdir(root.c_str());
}

TEST(Folders, PathExtension)
{
    EXPECT_EQ(pathExtension("a.psd"), "psd");
    EXPECT_EQ(pathExtension(".psd"), "");
    EXPECT_EQ(pathExtension(".a.psd"), "psd");
    EXPECT_EQ(pathExtension("noext"), "");
    EXPECT_EQ(pathExtension("a."), "");
}

TEST(Folders, PublicAndUserPathsFitOrAreRefused)
{
    PlatformDouble platform;
    char buffer[16];
    EXPECT_EQ(getPublicFolder(buffer, 8), 1);
    EXPECT_STREQ(buffer, "/home");
    EXPECT_EQ(getPublicFolder(buffer, 5), -1); // "/home" and its NUL need 6
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(getPublicFolder(nullptr, 8), -1);
    platform.usersFolder.clear();
    EXPECT_EQ(getPublicFolder(buffer, 8), 0);

    platform.homeFolder = "/home/me";
    EXPECT_EQ(getUserPath(buffer, 9), 0);
    EXPECT_STREQ(buffer, "/home/me");
    EXPECT_EQ(getUserPath(buffer, 8), -1);
    EXPECT_EQ(buffer[0], '\0');
    platform.homeFolder.clear();
    memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(getUserPath(buffer, 8), 0);
    EXPECT_EQ(buffer[0], '\0');
}

TEST(SmallQueries, TwelveHourClockWithoutMarker)
{
    const char* saved = getenv("TZ");
    std::string zone = saved ? saved : "";
    setenv("TZ", "UTC0", 1);
    tzset();
    EXPECT_EQ(currentTimeText(1719016200), "06-22-2024,12:30:00"); // 00:30
    EXPECT_EQ(currentTimeText(1719062100), "06-22-2024,01:15:00"); // 13:15
    EXPECT_EQ(currentTimeText(1719047100), "06-22-2024,09:05:00"); // 09:05
    if (saved)
        setenv("TZ", zone.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();

    char buffer[20];
    EXPECT_EQ(grabCurrentTime(buffer, 20), 0);
    EXPECT_EQ(strlen(buffer), 19u);
    EXPECT_EQ(grabCurrentTime(buffer, 19), -1);
    EXPECT_EQ(grabCurrentTime(nullptr, 20), -1);
}
