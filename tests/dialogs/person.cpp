#include "person.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

extern char** environ;

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Runs one xdotool command, silenced, for at most five seconds; true when it
// answered 0 (for a search: a window was found).
static bool xdotool(const XdotoolCommand& command)
{
    std::vector<std::string> words = {"xdotool"};
    words.insert(words.end(), command.begin(), command.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, "xdotool", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    auto until = Clock::now() + 5s;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0)
    {
        if (Clock::now() > until)
        {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

static bool shown(const std::string& title)
{
    return xdotool({"search", "--onlyvisible", "--name", "^" + title + "$"});
}

// Ends the zenity processes that this process started: a dialog nobody could
// answer must not hold its command, and the test run, for ever.
static void closeDialogs()
{
    for (const auto& entry : std::filesystem::directory_iterator("/proc"))
    {
        std::ifstream file(entry.path() / "stat");
        std::string stat;
        std::getline(file, stat);
        // "pid (name) state parent ..."; the name may hold anything.
        size_t open = stat.find('(');
        size_t close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close < open)
            continue;
        char state = 0;
        int parent = 0;
        if (sscanf(stat.c_str() + close + 1, " %c %d", &state, &parent) != 2)
            continue;
        if (stat.substr(open + 1, close - open - 1) == "zenity" && parent == getpid())
            kill(pid_t(std::stol(stat)), SIGTERM);
    }
}

static bool answerDialog(const Answer& answer)
{
    auto until = Clock::now() + 30s;
    while (!shown(answer.title))
    {
        if (Clock::now() > until)
        {
            closeDialogs();
            return false;
        }
        std::this_thread::sleep_for(100ms);
    }
    bool sent =
        xdotool({"search", "--onlyvisible", "--name", "^" + answer.title + "$", "windowfocus", "--sync", "%1"});
    // The panel fills itself in after it is mapped.
    std::this_thread::sleep_for(500ms);
    for (const XdotoolCommand& command : answer.first)
        sent = xdotool(command) && sent;
    while (shown(answer.title))
    {
        if (Clock::now() > until)
        {
            closeDialogs();
            return false;
        }
        if (!answer.repeat.empty())
            xdotool(answer.repeat);
        std::this_thread::sleep_for(500ms);
    }
    return sent;
}

Person::Person(Answer answer) : thread([this, answer] { answered = answerDialog(answer); })
{
}

Person::~Person()
{
    if (thread.joinable())
        thread.join();
}

bool Person::done()
{
    if (thread.joinable())
        thread.join();
    return answered;
}
