// Running zenity: spawned with an argument vector, its answer read through a
// pipe, the child reaped before returning.
#include "linux_platform.h"
#include "linux_x11.h"
#include "linux_zenity.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>

extern char** environ;

// Reaps the child; false while it runs (when not waiting) or when it cannot be
// reaped, as when the host ignores SIGCHLD.
static bool reap(pid_t pid, int& status, bool wait)
{
    while (true)
    {
        pid_t done = waitpid(pid, &status, wait ? 0 : WNOHANG);
        if (done == pid)
            return true;
        if (done == 0 || errno != EINTR)
            return false;
    }
}

// Reads the answer until zenity closes its output, or until zenity has ended
// and the pipe is drained: a helper it started may hold the pipe open.
// False when the answer grew past the limit or there was no memory for it.
static bool readAnswer(int output, pid_t pid, std::string& answer, bool& reaped, int& status, bool& outOfMemory)
{
    bool withinLimit = true;
    char chunk[4096];
    while (true)
    {
        pollfd ready = {output, POLLIN, 0};
        int polled = poll(&ready, 1, reaped ? 0 : 100);
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled == 0 && !reaped)
        {
            reaped = reap(pid, status, false);
            continue;
        }
        if (polled <= 0)
            return withinLimit;
        ssize_t got = read(output, chunk, sizeof(chunk));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return withinLimit;
        if (answer.size() + size_t(got) > kZenityAnswerLimit)
            withinLimit = false;
        // With no memory for the answer, the pipe is drained and the child
        // reaped all the same before the failure is passed on.
        try
        {
            if (withinLimit)
                answer.append(chunk, size_t(got));
        }
        catch (const std::bad_alloc&)
        {
            withinLimit = false;
            outOfMemory = true;
        }
    }
}

int runZenity(const std::vector<std::string>& arguments, std::string& answer)
{
    // A display that does not answer would hold zenity, and the host with
    // it, for ever.
    const char* display = getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0' || displaySilent(display, kDisplayAnswerMilliseconds))
        return -1;
    std::vector<std::string> words = {"zenity"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = argumentVector(words);

    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0)
        return -1;
    // Nothing to read and no messages: its warnings are not the host's.
    SpawnSetup setup(false);
    posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&setup.actions, output[1], 1);
    posix_spawn_file_actions_addopen(&setup.actions, 2, "/dev/null", O_WRONLY, 0);
    setup.closeTheRest();
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, "zenity", &setup.actions, &setup.attributes, argv.data(), environ);
    close(output[1]);
    if (spawned != 0)
    {
        close(output[0]);
        return -1;
    }

    answer.clear();
    bool reaped = false;
    int status = 0;
    bool outOfMemory = false;
    bool withinLimit = readAnswer(output[0], pid, answer, reaped, status, outOfMemory);
    close(output[0]);
    if (!reaped)
        reaped = reap(pid, status, true);
    if (outOfMemory)
        throw std::bad_alloc();
    if (!reaped || !withinLimit || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
