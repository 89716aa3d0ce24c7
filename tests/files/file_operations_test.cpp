#include "file_rules/file_rules.h"
#include "files/file_operations.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <sys/xattr.h>

#include <cstring>

extern char** environ;

namespace
{
std::string content(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

int runProgram(std::vector<std::string> words)
{
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid;
    int status = -1;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return status;
}

// A user of the test's own, added by root and removed at the end.
struct OtherUser
{
    std::string name = "tesmar-probe-" + std::to_string(getpid());
    uid_t uid = 0;
    gid_t gid = 0;

    OtherUser()
    {
        if (runProgram({"/usr/sbin/useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin", name}) != 0)
            return;
        if (passwd* entry = getpwnam(name.c_str()))
        {
            uid = entry->pw_uid;
            gid = entry->pw_gid;
        }
    }
    ~OtherUser() { runProgram({"/usr/sbin/userdel", name}); }
};

// Runs in a child as user: lists folder over and over until told to stop
// (stop's other end closed), trying to open every copy in progress. Exits 1
// when it opened one, 2 when it never saw one, 0 otherwise.
[[noreturn]] void pollCopies(const OtherUser& user, const std::string& folder, int ready, int stop)
{
    if (setgid(user.gid) != 0 || setuid(user.uid) != 0)
        _exit(3);
    fcntl(stop, F_SETFL, O_NONBLOCK);
    ssize_t ignored = write(ready, "r", 1);
    (void)ignored;
    bool seen = false;
    char byte;
    while (read(stop, &byte, 1) < 0)
    {
        DIR* listing = opendir(folder.c_str());
        while (dirent* entry = listing ? readdir(listing) : nullptr)
        {
            if (strncmp(entry->d_name, ".copy-", 6) != 0)
                continue;
            seen = true;
            if (open((folder + "/" + entry->d_name).c_str(), O_RDONLY) >= 0)
                _exit(1);
        }
        if (listing)
            closedir(listing);
    }
    _exit(seen ? 0 : 2);
}
}

// Another user watching a shared folder never opens the copy of a private
// file while it is being written.
TEST(FileOperations, CopyInProgressIsTheOwnersOnly)
{
    if (getuid() != 0)
        GTEST_SKIP() << "needs root to add a second user";
    OtherUser other;
    ASSERT_NE(other.uid, 0u) << "useradd failed";
    Scratch s;
    chmod(s.root.c_str(), 01777);
    // Sparse, but copied byte for byte: long enough to be caught at.
    std::string from = s.path("private.bin");
    int source = open(from.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_EQ(ftruncate(source, 64 << 20), 0);
    close(source);
    mode_t before = umask(022);

    int ready[2], stop[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(stop), 0);
    pid_t poller = fork();
    if (poller == 0)
    {
        close(stop[1]);
        pollCopies(other, utf8Text(s.root), ready[1], stop[0]);
    }
    close(ready[1]);
    close(stop[0]);
    char byte;
    EXPECT_EQ(read(ready[0], &byte, 1), 1);
    EXPECT_EQ(fileCopyTo(from.c_str(), s.path("copy.bin").c_str()), 0);
    close(stop[1]);
    int status = -1;
    waitpid(poller, &status, 0);
    close(ready[0]);
    umask(before);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "poller status " << status;
    EXPECT_EQ(std::filesystem::file_size(s.root / "copy.bin"), 64u << 20);
}

TEST(FileOperations, DeleteAndRename)
{
    Scratch s;
    s.file("a.txt");
    EXPECT_EQ(fileDelete(("Vol:" + s.path("a.txt")).c_str()), 0);
    EXPECT_FALSE(s.exists("a.txt"));
    EXPECT_EQ(fileDelete(s.path("a.txt").c_str()), -1);
    s.folder("full");
    s.file("full/x");
    EXPECT_EQ(fileDelete(s.path("full").c_str()), -1);
    s.folder("empty");
    EXPECT_EQ(fileDelete(s.path("empty").c_str()), 0);
    EXPECT_EQ(fileDelete(nullptr), -1);

    s.file("old", "new content");
    s.file("target", "replaced");
    EXPECT_EQ(fileRename(s.path("old").c_str(), ("Vol:" + s.path("target")).c_str()), 0);
    EXPECT_EQ(content(s.path("target")), "new content");
    EXPECT_FALSE(s.exists("old"));
    EXPECT_EQ(fileRename(s.path("old").c_str(), s.path("x").c_str()), -1);
    EXPECT_EQ(fileRename(nullptr, s.path("x").c_str()), -1);
    EXPECT_EQ(fileRename(s.path("target").c_str(), nullptr), -1);
}

TEST(FileOperations, CopyKeepsDataModeTimesAndAttributes)
{
    Scratch s;
    std::string data(300000, '\0');
    for (size_t i = 0; i < data.size(); i++)
        data[i] = char(i * 7);
    std::string from = s.file("source.bin", data);
    chmod(from.c_str(), 0640);
    timespec times[2] = {{1000000000, 0}, {1200000000, 500}};
    utimensat(AT_FDCWD, from.c_str(), times, 0);
    bool attributes = setxattr(from.c_str(), "user.tesmar", "value", 5, 0) == 0;

    s.file("copy.bin", "old destination");
    EXPECT_EQ(fileCopyTo(("Vol:" + from).c_str(), ("Vol:" + s.path("copy.bin")).c_str()), 0);
    EXPECT_EQ(content(s.path("copy.bin")), data);
    struct stat info;
    ASSERT_EQ(stat(s.path("copy.bin").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(info.st_mtim.tv_sec, 1200000000);
    EXPECT_EQ(info.st_mtim.tv_nsec, 500);
    if (attributes)
    {
        char value[16] = {};
        EXPECT_EQ(getxattr(s.path("copy.bin").c_str(), "user.tesmar", value, sizeof(value)), 5);
        EXPECT_STREQ(value, "value");
    }
    else
    {
        GTEST_LOG_(INFO) << "this file system keeps no user attributes; not checked";
    }
    // Nothing but the copy is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(s.root), std::filesystem::directory_iterator()), 2);
    // A backslash belongs to the name here: the copy is made beside it.
    EXPECT_EQ(fileCopyTo(from.c_str(), s.path("copy\\of.bin").c_str()), 0);
    EXPECT_EQ(content(s.path("copy\\of.bin")), data);
}

// A missing source removes an old file or link (not what it leads to), and
// nothing of any other kind.
TEST(FileOperations, CopyOfAMissingSourceStillRemovesTheDestination)
{
    Scratch s;
    s.file("dest", "old");
    std::filesystem::create_directory_symlink(s.folder("linked"), s.root / "link");
    s.folder("empty");
    mkfifo(s.path("fifo").c_str(), 0600);
    sockaddr_un address = {AF_UNIX, {}};
    snprintf(address.sun_path, sizeof address.sun_path, "%s", s.path("socket").c_str());
    int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(listener);
    for (auto [name, removed] : {std::pair{"dest", true}, {"link", true}, {"empty", false}, {"fifo", false},
                                 {"socket", false}})
    {
        EXPECT_EQ(fileCopyTo(s.path("nothing").c_str(), s.path(name).c_str()), 0);
        EXPECT_EQ(s.exists(name), !removed) << name;
    }
    EXPECT_TRUE(s.exists("linked"));
    for (const char* name : {"linked", "empty", "fifo", "socket"})
        std::filesystem::remove(s.root / name);
    EXPECT_EQ(fileCopyTo(s.file("src").c_str(), s.path("no/folder/dest").c_str()), 0); // fails quietly
    EXPECT_EQ(fileCopyTo(nullptr, s.path("dest").c_str()), -1);
    EXPECT_EQ(fileCopyTo(s.path("src").c_str(), nullptr), -1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(s.root), std::filesystem::directory_iterator()), 1);
}

TEST(FileOperations, CopiesGrantNoPrivilegesAndNeverLoseTheSource)
{
    Scratch s;
    std::string from = s.file("tool", "program");
    chmod(from.c_str(), 06755);
    EXPECT_EQ(fileCopyTo(from.c_str(), s.path("copy").c_str()), 0);
    struct stat info;
    ASSERT_EQ(stat(s.path("copy").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0755u);

    // The same file however it is spelt, or through a second name.
    s.folder("sub");
    link(from.c_str(), s.path("sub/hard").c_str());
    for (const std::string& to : {from, s.path("sub/../tool"), s.path("sub/hard")})
    {
        EXPECT_EQ(fileCopyTo(from.c_str(), to.c_str()), 0) << to;
        EXPECT_EQ(content(from), "program") << to;
    }

    // A FIFO on either side is left alone, and nothing waits for a writer.
    mkfifo(s.path("fifo").c_str(), 0600);
    s.file("kept", "kept");
    EXPECT_EQ(fileCopyTo(s.path("fifo").c_str(), s.path("kept").c_str()), 0);
    EXPECT_EQ(content(s.path("kept")), "kept");
    EXPECT_EQ(fileCopyTo(from.c_str(), s.path("fifo").c_str()), 0);
    ASSERT_EQ(stat(s.path("fifo").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

// Nor file capabilities, which root alone may give a file.
TEST(FileOperations, CopiesDropFileCapabilities)
{
    Scratch s;
    std::string from = s.file("tool", "program");
    if (geteuid() != 0 || runProgram({"/usr/sbin/setcap", "cap_net_raw=ep", from}) != 0)
        GTEST_SKIP() << "needs root and setcap";
    ASSERT_GT(getxattr(from.c_str(), "security.capability", nullptr, 0), 0);
    EXPECT_EQ(fileCopyTo(from.c_str(), s.path("copy").c_str()), 0);
    EXPECT_EQ(content(s.path("copy")), "program");
    EXPECT_LT(getxattr(s.path("copy").c_str(), "security.capability", nullptr, 0), 0);
}

// A path a file dialog answers is native already: its colons are the name's.
TEST(FileOperations, NativePathsKeepTheirColons)
{
    Scratch s;
    s.file("shot 10:30.png");
    EXPECT_EQ(fileDelete(s.path("shot 10:30.png").c_str()), 0);
    EXPECT_FALSE(s.exists("shot 10:30.png"));
}

// A file of hundreds of MiB is written behind, its early windows leaving the
// cache while later ones are written; a write back into one of them (an
// archive's header, written last) and every other byte must still land.
TEST(FileOperations, LargeFilesWrittenBehindKeepEveryByte)
{
    Scratch s;
    std::string target = s.path("large.bin");
    constexpr size_t kChunk = size_t(1) << 20;
    constexpr size_t kChunks = 400;
    std::vector<char> chunk(kChunk);
    {
        TemporaryFile file;
        ASSERT_TRUE(file.create(target, ".export-"));
        for (size_t i = 0; i < kChunks; i++)
        {
            std::fill(chunk.begin(), chunk.end(), char('a' + i % 26));
            ASSERT_TRUE(file.write(chunk.data(), chunk.size()));
        }
        ASSERT_TRUE(file.writeAt(4096 - 3, "HEADER", 6));
        ASSERT_TRUE(file.replace(target, false));
    }
    std::ifstream in(target, std::ios::binary);
    for (size_t i = 0; i < kChunks; i++)
    {
        ASSERT_TRUE(in.read(chunk.data(), std::streamsize(chunk.size())));
        std::string expected(kChunk, char('a' + i % 26));
        if (i == 0)
            expected.replace(4096 - 3, 6, "HEADER");
        ASSERT_EQ(std::string(chunk.data(), chunk.size()), expected) << "MiB " << i;
    }
    EXPECT_FALSE(in.read(chunk.data(), 1));
}
