// Applications the tests launch: a script that writes the arguments it was
// given to a file, NUL after each, and a process running under a chosen name.
#pragma once

#include "tests/support/scratch.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>
#include <vector>

struct Recorder
{
    std::string app;
    std::string arguments; // where it writes its arguments
    std::string done;      // written once it has finished

    // The script's output goes nowhere, so that a test runner reading the
    // test's output never waits for a script still running. One that holds
    // runs on until its arguments have been received (their file removed),
    // for ten seconds at most.
    Recorder(const Scratch& scratch, const std::string& name = "recorder", bool holds = false)
    {
        app = scratch.path(name);
        arguments = scratch.path(name + ".arguments");
        done = scratch.path(name + ".done");
        std::ofstream(app) << "#!/bin/sh\n"
                              "exec </dev/null >/dev/null 2>&1\n"
                              "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > '" + arguments + ".part'\n"
                              "mv '" + arguments + ".part' '" + arguments + "'\n" +
                                  (holds ? "for i in $(seq 1000); do [ -e '" + arguments + "' ] || break; sleep 0.01; done\n"
                                         : "") +
                                  ": > '" + done + "'\n";
        chmod(app.c_str(), 0755);
    }

    // The arguments of the launch, waiting for the script to write them; an
    // empty list with false when it never ran.
    bool received(std::vector<std::string>& list, double seconds = 10) const
    {
        auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (!std::filesystem::exists(arguments))
        {
            if (std::chrono::steady_clock::now() > until)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::ifstream file(arguments, std::ios::binary);
        std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        list.clear();
        for (size_t start = 0; start < all.size();)
        {
            size_t end = all.find('\0', start);
            list.push_back(all.substr(start, end - start));
            start = end + 1;
        }
        std::filesystem::remove(arguments);
        return true;
    }
};

// Children of this process that have ended but were not reaped.
inline int zombieChildren()
{
    int zombies = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc"))
    {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        size_t close = line.rfind(')');
        if (close == std::string::npos || close + 4 >= line.size())
            continue;
        char state = line[close + 2];
        int parent = atoi(line.c_str() + close + 4);
        zombies += state == 'Z' && parent == getpid();
    }
    return zombies;
}

// A copy of sleep under the given name, running until the object goes.
struct NamedProcess
{
    pid_t pid = -1;

    NamedProcess(const Scratch& scratch, const std::string& name)
    {
        std::string path = scratch.path(name);
        std::filesystem::copy_file("/bin/sleep", path);
        chmod(path.c_str(), 0755);
        std::string seconds = "60";
        char* argv[] = {path.data(), seconds.data(), nullptr};
        posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ);
    }
    ~NamedProcess()
    {
        if (pid > 0)
        {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
};
