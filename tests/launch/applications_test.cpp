#include "launch/launch.h"
#include "tests/support/library.h"
#include "recorder.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <algorithm>
#include <fstream>
#include <sstream>

using Arguments = std::vector<std::string>;

TEST(Launch, StartAppPassesSixConvertedLines)
{
    Scratch s;
    Recorder recorder(s);
    Arguments got;
    EXPECT_EQ(startApp(("Vol:" + recorder.app).c_str()), 0);
    ASSERT_TRUE(recorder.received(got));
    EXPECT_EQ(got, Arguments(6, ""));

    std::string lines = recorder.app + "\nfirst\nVol:/x/y:z\n\n  spaced  \nsix\nseven\nignored";
    EXPECT_EQ(startApp(lines.c_str()), 0);
    ASSERT_TRUE(recorder.received(got));
    EXPECT_EQ(got, (Arguments{"first", "/x/y:z", "", "  spaced  ", "six", "seven"}));

    EXPECT_EQ(startApp(s.path("missing").c_str()), -1);
    EXPECT_EQ(startApp(nullptr), -1);
}

TEST(Launch, SplitArgumentsKeepEmptyParts)
{
    Scratch s;
    Recorder recorder(s);
    Arguments got;
    EXPECT_EQ(runAppWithArgsCommand(("Vol:" + recorder.app).c_str(), "a\n\nVol:b\n"), 0);
    ASSERT_TRUE(recorder.received(got));
    EXPECT_EQ(got, (Arguments{"a", "", "Vol:b", ""})); // arguments are not converted

    EXPECT_EQ(startWithArgs(recorder.app.c_str(), ""), 0);
    ASSERT_TRUE(recorder.received(got));
    EXPECT_EQ(got, Arguments{""});

    EXPECT_EQ(runAppWithArgsCommand(recorder.app.c_str(), nullptr), -2);
    EXPECT_EQ(runAppWithArgsCommand(nullptr, "a"), -2);
    EXPECT_EQ(runAppWithArgsCommand(s.path("missing").c_str(), "a"), -1);
    EXPECT_EQ(startWithArgs(("Vol:" + recorder.app).c_str(), "a"), -1); // StartWithArgs takes native paths
}

TEST(Launch, SingleArgumentLaunches)
{
    Scratch s;
    Recorder recorder(s);
    Arguments got;
    const char bytes[] = "caf\xC3\xA9 \x01\x7F\xFF";
    EXPECT_EQ(startAppArg(recorder.app.c_str(), bytes), 0);
    ASSERT_TRUE(recorder.received(got));
    EXPECT_EQ(got, Arguments{bytes}); // byte for byte

    std::string file = s.file("mesh.obj");
    EXPECT_EQ(runAppWithFile(("Vol:" + file).c_str(), ("Vol:" + recorder.app).c_str()), 0);
    ASSERT_TRUE(recorder.received(got));
    EXPECT_EQ(got, Arguments{file});
    EXPECT_EQ(runAppWithFile(file.c_str(), nullptr), -1);
    EXPECT_EQ(runAppWithFile(nullptr, recorder.app.c_str()), -1);

    s.file("plain", "not a program");
    EXPECT_EQ(startAppArg(s.path("missing").c_str(), "a"), -1);
    EXPECT_EQ(startAppArg(s.path("plain").c_str(), "a"), -2);
    EXPECT_EQ(startAppArg(s.root.c_str(), "a"), -2); // a folder is not an application
    EXPECT_EQ(startAppArg(nullptr, "a"), -1);
    EXPECT_EQ(runAppWithFile(file.c_str(), s.path("plain").c_str()), -1);
}

TEST(Launch, ReturnsAtOnceAndLeavesNoZombie)
{
    Scratch s;
    Recorder recorder(s, "recorder", true);
    EXPECT_EQ(startWithArgs(recorder.app.c_str(), "x"), 0);
    // The recorder runs on until its arguments are received: a command that
    // waited for it would return only once it gave up, its "done" written.
    EXPECT_FALSE(std::filesystem::exists(recorder.done));
    Arguments got;
    ASSERT_TRUE(recorder.received(got));
    EXPECT_EQ(zombieChildren(), 0);
}

TEST(Launch, RunningApplicationsByNamePart)
{
    Scratch s;
    // Not "Quorvel": a test of the home-page start may run beside this one.
    NamedProcess process(s, "MySculptTool");
    ASSERT_GT(process.pid, 0);
    EXPECT_EQ(isAppRunningCommand("SculptT"), 1);
    EXPECT_EQ(isAppRunningCommand("sculpttool"), 0); // the case counts
    EXPECT_EQ(isAppRunningCommand("no-such-application-runs"), 0);
    EXPECT_EQ(isAppRunningCommand(""), 0);
    EXPECT_EQ(isAppRunningCommand(nullptr), -1);
}

namespace
{
// Whether the process pid runs, not yet ended, as the program name (as the
// system shows it, cut to 15 bytes) of the user uid.
bool runsAs(pid_t pid, const std::string& name, uid_t uid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line, shown, state;
    uid_t real = uid_t(-1);
    while (std::getline(status, line))
    {
        std::istringstream fields(line.substr(line.find(':') + 1));
        if (line.rfind("Name:", 0) == 0)
            fields >> shown;
        else if (line.rfind("State:", 0) == 0)
            fields >> state;
        else if (line.rfind("Uid:", 0) == 0)
            fields >> real;
    }
    return shown == name.substr(0, 15) && (state == "R" || state == "S") && real == uid;
}

// Starts the copy of sleep at path as the user uid and waits until it runs
// as that program; answers its process id, or -1 when it never did.
pid_t startAs(const std::string& path, uid_t uid)
{
    pid_t pid = fork();
    if (pid == 0)
    {
        if (setgid(uid) == 0 && setuid(uid) == 0)
            execl(path.c_str(), path.c_str(), "60", (char*)nullptr);
        _exit(127);
    }
    std::string name = std::filesystem::path(path).filename().string();
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (pid > 0 && !runsAs(pid, name, uid))
    {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return -1;
        if (std::chrono::steady_clock::now() > until)
        {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return pid;
}

// A program started as another user, killed with the object.
struct Started
{
    pid_t pid;
    ~Started()
    {
        if (pid > 0)
        {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
};
}

// Another user's running program is not the caller's (only root can start
// one here); the same program of the caller's own is, so that the first answer cannot come from a command
// that finds nothing at all. Each answer is taken while the system shows
// the program running.
TEST(Launch, RunningApplicationsAreTheCallersOwn)
{
    if (getuid() != 0)
        GTEST_SKIP() << "needs root to run a program as another user";
    const uid_t nobody = 65534;
    Scratch s;
    chmod(s.root.c_str(), 0755);
    std::string path = s.path("OtherUsersTool");
    std::filesystem::copy_file("/bin/sleep", path);
    chmod(path.c_str(), 0755);
    Started other{startAs(path, nobody)};
    ASSERT_GT(other.pid, 0) << "the other user's program did not start";
    EXPECT_EQ(isAppRunningCommand("OtherUsersTool"), 0);
    EXPECT_TRUE(runsAs(other.pid, "OtherUsersTool", nobody)) << "the other user's program ended meanwhile";
    Started own{startAs(path, getuid())};
    ASSERT_GT(own.pid, 0) << "the caller's program did not start";
    EXPECT_EQ(isAppRunningCommand("OtherUsersTool"), 1);
    EXPECT_TRUE(runsAs(own.pid, "OtherUsersTool", getuid())) << "the caller's program ended meanwhile";
}

// Programs start with nothing of the host's: no descriptor beyond the
// standard three, no blocked signal, no ignored one.
TEST(Launch, ProgramsStartClean)
{
    Scratch s;
    std::string app = s.path("report"), record = s.path("record");
    // The status is read by the shell itself: a shell blocks every signal
    // for a moment while it forks, and a forked reader could see that.
    std::ofstream(app) << "#!/bin/sh\n{ while read -r l; do case $l in SigBlk*|SigIgn*) echo \"$l\";; esac; done "
                          "< /proc/$$/status; ls /proc/$$/fd; } > '" +
                              record + ".part'\nmv '" + record + ".part' '" + record + "'\n";
    chmod(app.c_str(), 0755);
    int leaked = dup2(open("/dev/null", O_RDONLY | O_CLOEXEC), 100); // dup2 drops close-on-exec
    sighandler_t before = signal(SIGUSR1, SIG_IGN);
    sigset_t blocked, previous;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR2);
    pthread_sigmask(SIG_BLOCK, &blocked, &previous);
    EXPECT_EQ(startApp(app.c_str()), 0);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    signal(SIGUSR1, before);
    close(leaked);

    for (int i = 0; i < 500 && !std::filesystem::exists(record); i++)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::ifstream file(record);
    std::string line;
    std::vector<std::string> descriptors;
    while (std::getline(file, line))
    {
        if (line.rfind("Sig", 0) == 0)
        {
            unsigned long long set = std::stoull(line.substr(8), nullptr, 16);
            EXPECT_EQ(set & (1ull << (SIGUSR1 - 1) | 1ull << (SIGUSR2 - 1)), 0u) << line;
        }
        else
            descriptors.push_back(line);
    }
    EXPECT_FALSE(descriptors.empty());
    EXPECT_EQ(std::count(descriptors.begin(), descriptors.end(), "100"), 0);
}

TEST(Launch, LaunchAppWithFileInBothLibraries)
{
    Scratch s;
    Recorder recorder(s);
    std::string file = s.file("a.txt");
    for (const char* name : {"Brindle", "TesmarLauncherDLL"})
    {
        LoadedLibrary library(libraryPath(name));
        HostCommandEntry command = library.command("LaunchAppWithFile");
        ASSERT_TRUE(command) << name;
        std::string app = "Vol:" + recorder.app;
        EXPECT_EQ(command(("Vol:" + file).c_str(), 0, app.data(), 0, nullptr, 0, nullptr), 0) << name;
        Arguments got;
        ASSERT_TRUE(recorder.received(got));
        EXPECT_EQ(got, Arguments{file});
    }
}
