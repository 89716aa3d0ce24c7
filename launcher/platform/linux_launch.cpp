// Launching and finding applications on Linux. An application is an
// executable file; it is started without a shell, in a session of its own.
#include "common/host_path.h"
#include "linux_platform.h"
#include "platform.h"

#include <dirent.h>
#include <signal.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>

extern char** environ;

std::vector<char*> argumentVector(std::vector<std::string>& words)
{
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    return argv;
}

static bool isApplication(const char* path)
{
    struct stat info;
    return stat(path, &info) == 0 && S_ISREG(info.st_mode) && access(path, X_OK) == 0;
}

SpawnSetup::SpawnSetup(bool ownSession)
{
    // Blocked or ignored signals and open descriptors of the host are the
    // host's business, not the program's.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    posix_spawnattr_setflags(&attributes, ownSession ? short(flags | POSIX_SPAWN_SETSID) : flags);
    posix_spawn_file_actions_init(&actions);
}

SpawnSetup::~SpawnSetup()
{
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
}

void SpawnSetup::closeTheRest()
{
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
}

// Runs in the intermediate child, where only async-signal-safe calls belong:
// everything it needs is prepared before the fork. Spawns the program and
// reports through the pipe the spawn's error, or with waitMilliseconds, the
// program's own status once it ends within that time.
[[noreturn]] static void spawnAndLeave(const char* program, bool search, char* const* argv, const SpawnSetup& setup,
                                       int report, int waitMilliseconds)
{
    pid_t pid = 0;
    int result = search ? posix_spawnp(&pid, program, &setup.actions, &setup.attributes, argv, environ)
                        : posix_spawn(&pid, program, &setup.actions, &setup.attributes, argv, environ);
    int answer[2] = {result, -1}; // the spawn's error, then the exit status or -1 while running
    for (int waited = 0; result == 0 && waited < waitMilliseconds; waited += 10)
    {
        int status = 0;
        pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid)
            answer[1] = WIFEXITED(status) ? WEXITSTATUS(status) : 256;
        // Ended, or not this process's to wait for (SIGCHLD ignored).
        if (ended > 0 || (ended < 0 && errno != EINTR))
            break;
        timespec pause = {0, 10 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    ssize_t ignored = write(report, answer, sizeof(answer));
    (void)ignored;
    _exit(0);
}

// Starts program (searched for on the path when search is set) and leaves it
// running. The program is the grandchild of this process: the intermediate
// child ends at once, or after waitMilliseconds at most, and is reaped here,
// so that no zombie is left whatever the program does. Answers the spawn's error, 0 when the program runs; status is the
// program's exit status when it ended in time (256 when a signal ended it),
// else -1.
static int spawnDetached(const char* program, bool search, const std::vector<std::string>& arguments,
                         int waitMilliseconds, int& status)
{
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = argumentVector(words);
    SpawnSetup setup(true);
    setup.closeTheRest();

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return errno;
    pid_t child = fork();
    if (child == 0)
        spawnAndLeave(program, search, argv.data(), setup, report[1], waitMilliseconds);
    close(report[1]);
    int answer[2] = {ECHILD, -1};
    if (child > 0)
    {
        ssize_t got;
        while ((got = read(report[0], answer, sizeof(answer))) < 0 && errno == EINTR)
        {
        }
        if (got != ssize_t(sizeof(answer)))
            answer[0] = ECHILD;
        int childStatus = 0;
        while (waitpid(child, &childStatus, 0) < 0 && errno == EINTR)
        {
        }
    }
    else
    {
        answer[0] = errno;
    }
    close(report[0]);
    status = answer[1];
    return answer[0];
}

bool linuxLaunchApplication(const char* path, const std::vector<std::string>& arguments)
{
    int status = 0;
    return isApplication(path) && spawnDetached(path, false, arguments, 0, status) == 0;
}

void linuxRunningApplications(std::vector<std::string>& names)
{
    names.clear();
    DIR* processes = opendir("/proc");
    if (!processes)
        return;
    while (dirent* entry = readdir(processes))
    {
        const char* id = entry->d_name;
        if (id[0] < '1' || id[0] > '9')
            continue;
        std::string folder = std::string("/proc/") + id;
        // Only the user's own: the desktop lists the applications of the
        // user's session, and another user's program is none of them.
        struct stat owner;
        if (stat(folder.c_str(), &owner) != 0 || owner.st_uid != getuid())
            continue;
        char target[4096];
        ssize_t length = readlink((folder + "/exe").c_str(), target, sizeof(target) - 1);
        if (length > 0)
        {
            target[length] = '\0';
            // A program whose file was replaced reads "/path (deleted)".
            std::string path(target, size_t(length));
            const std::string deleted = " (deleted)";
            if (path.size() > deleted.size() && path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0)
                path.resize(path.size() - deleted.size());
            names.push_back(path.substr(path.rfind('/') + 1));
            continue;
        }
        std::ifstream comm(folder + "/comm");
        std::string name;
        if (std::getline(comm, name) && !name.empty())
            names.push_back(name);
    }
    closedir(processes);
}

OpenAnswer linuxOpenWithDefaultApplication(const char* path, int waitMilliseconds)
{
    struct stat info;
    if (stat(path, &info) != 0)
        return {OpenOutcome::FileMissing};
    std::string file = fileArgument(path);
    // The opener may run as long as the viewer it starts: past the wait it
    // counts as started.
    int status = -1;
    if (spawnDetached("xdg-open", true, {file}, waitMilliseconds, status) != 0)
        return {OpenOutcome::NoApplication};
    if (status <= 0)
        return {OpenOutcome::Started};
    if (status > 255)
        return {OpenOutcome::NoApplication};
    return {OpenOutcome::OpenerFailed, status};
}

const ProcessServices& systemProcessServices()
{
    static const ProcessServices services = {
        .launchApplication = linuxLaunchApplication,
        .runningApplications = linuxRunningApplications,
        .openWithDefaultApplication = linuxOpenWithDefaultApplication,
    };
    return services;
}

