// Launching and finding applications on Linux. An application is an
// executable file; it is started without a shell, in a session of its own.
#include "linux_platform.h"
#include "platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
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

// Runs in the intermediate child, where only async-signal-safe calls belong:
// everything it needs is prepared before the fork.
[[noreturn]] static void spawnAndLeave(const char* program, char* const* argv, int report)
{
    posix_spawnattr_t attributes;
    int result = posix_spawnattr_init(&attributes);
    if (result == 0)
        result = posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    if (result == 0)
        result = posix_spawn(&pid, program, nullptr, &attributes, argv, environ);
    // posix_spawn answers an exec failure itself; the answer travels back
    // through the close-on-exec pipe.
    ssize_t ignored = write(report, &result, sizeof(result));
    (void)ignored;
    _exit(0);
}

// Starts program and leaves it running. The program is the grandchild of this
// process: the intermediate child exits at once and is reaped here, so that
// no zombie is left whatever the program does. Answers the spawn's error, 0
// when the program runs.
static int spawnDetached(const char* program, const std::vector<std::string>& arguments)
{
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = argumentVector(words);

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return errno;
    pid_t child = fork();
    if (child == 0)
        spawnAndLeave(program, argv.data(), report[1]);
    close(report[1]);
    int result = ECHILD;
    if (child > 0)
    {
        if (read(report[0], &result, sizeof(result)) != sizeof(result))
            result = ECHILD;
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR)
        {
        }
    }
    else
    {
        result = errno;
    }
    close(report[0]);
    return result;
}

bool linuxLaunchApplication(const char* path, const std::vector<std::string>& arguments)
{
    return isApplication(path) && spawnDetached(path, arguments) == 0;
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

int linuxOpenWithDefaultApplication(const char* path)
{
    struct stat info;
    if (stat(path, &info) != 0)
        return kFileNotFound;
    std::vector<std::string> words = {"xdg-open", path};
    std::vector<char*> argv = argumentVector(words);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv.data(), environ) != 0)
        return kApplicationNotFound;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return kApplicationNotFound;
    return WIFEXITED(status) ? WEXITSTATUS(status) : kApplicationNotFound;
}

int linuxCreateFolderIn(const char* parent, const char* name)
{
    if (name[0] == '\0')
        return 1;
    std::string path = std::string(parent[0] == '\0' ? "" : parent) + "/" + name;
    struct stat info;
    // The parent must exist: the folder is never created anywhere else.
    if (stat(parent[0] == '\0' ? "/" : parent, &info) != 0 || !S_ISDIR(info.st_mode))
        return 1;
    if (mkdir(path.c_str(), 0777) == 0)
        return 0;
    return errno == EEXIST && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? 0 : 1;
}

int linuxRunScript(const char*, size_t)
{
    return kNoScriptingComponent;
}
