#include "xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

extern char** environ;

// Starts a program found on PATH with its output silenced; -1 on failure.
// It gets SIGTERM when this process ends, so a test that is killed leaves
// no server behind.
static pid_t spawnQuietly(std::vector<std::string> words, char** environment)
{
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t parent = getpid();
    pid_t pid = fork();
    if (pid == 0)
    {
        int quiet = open("/dev/null", O_RDWR);
        dup2(quiet, 1);
        dup2(quiet, 2);
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() == parent)
            execvpe(argv[0], argv.data(), environment);
        _exit(127);
    }
    return pid;
}

static void stop(pid_t& pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

// Xvfb writes the display number to -displayfd once it accepts clients, and
// exits at once when the display is taken: so a closed pipe means "next".
static bool startOn(int number, const std::string& screen, pid_t& pid)
{
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        return false;
    fcntl(ready[1], F_SETFD, 0); // the server inherits the write end
    pid = spawnQuietly({"Xvfb", ":" + std::to_string(number), "-displayfd", std::to_string(ready[1]), "-nolisten",
                        "tcp", "-noreset", "-screen", "0", screen},
                       environ);
    close(ready[1]);
    // The number and its newline come in two writes; the pipe stays open
    // until both are in, as the server does not survive a broken pipe there.
    std::string answer;
    char byte = 0;
    pollfd wait = {ready[0], POLLIN, 0};
    while (pid > 0 && byte != '\n' && poll(&wait, 1, 10000) == 1 && read(ready[0], &byte, 1) == 1)
        answer += byte;
    bool started = !answer.empty() && answer.back() == '\n';
    close(ready[0]);
    if (!started)
        stop(pid);
    return started;
}

Xvfb::Xvfb(const std::string& screen)
{
    for (int number = 91; number <= 120 && display.empty(); number++)
        if (startOn(number, screen, server))
            display = ":" + std::to_string(number);
}

Xvfb::~Xvfb()
{
    stop(windowManager);
    stop(server);
}

bool Xvfb::startWindowManager()
{
    std::string variable = "DISPLAY=" + display;
    std::vector<char*> environment = {variable.data()};
    for (char** entry = environ; *entry != nullptr; entry++)
        if (std::string(*entry).rfind("DISPLAY=", 0) != 0)
            environment.push_back(*entry);
    environment.push_back(nullptr);
    // Openbox advertises itself before it is done starting, and a window
    // mapped in between is never managed: it runs its start-up command only
    // once it is ready, so that command leaves a mark to wait for.
    std::filesystem::path ready =
        std::filesystem::temp_directory_path() / ("tesmar-openbox-" + std::to_string(getpid()));
    std::filesystem::remove(ready);
    windowManager = spawnQuietly({"openbox", "--sm-disable", "--startup", "touch '" + ready.string() + "'"},
                                 environment.data());
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (windowManager > 0 && !std::filesystem::exists(ready) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return std::filesystem::remove(ready);
}

bool Xvfb::setLayouts(const std::string& layouts)
{
    pid_t pid = spawnQuietly({"setxkbmap", "-display", display, "-layout", layouts}, environ);
    int status = -1;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
