// Names that take seconds to look up, without a network: for this process
// alone (a mount namespace of its own, which needs root), the hosts file is
// a FIFO that the lookups wait on, and once a lookup time a writer opens it,
// ending every lookup then waiting with no such name. Numeric addresses are
// never looked up. Without root nothing changes and active is false. Under
// Wine the script slow_names_under_wine.sh does the same for the whole
// program and says so in TESMAR_SLOW_NAMES.
#pragma once

#include "scratch.h"

#include <atomic>
#include <cstdlib>
#include <cerrno>
#include <chrono>
#include <thread>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#endif

struct SlowNames
{
    static constexpr const char* kName = "slow.test";
    bool active = false;

#if !defined(_WIN32)
    Scratch folder;
    std::string fifo = folder.path("hosts");
    std::atomic<bool> ending{false};
    std::thread writer;

    // A process with threads cannot take a mount namespace of its own: made
    // before any thread of the test runs, and once earlier lookups are over.
    explicit SlowNames(std::chrono::milliseconds lookup = std::chrono::seconds(5))
    {
        bool own = false;
        for (int i = 0; i < 100 && geteuid() == 0 && !(own = unshare(CLONE_NEWNS) == 0) && errno == EINVAL; i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        active = own && mkfifo(fifo.c_str(), 0600) == 0 &&
                 mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                 mount(fifo.c_str(), "/etc/hosts", nullptr, MS_BIND, nullptr) == 0;
        if (!active)
            return;
        writer = std::thread([this, lookup] {
            while (!ending)
            {
                for (int i = 0; i < 50 && !ending; i++)
                    std::this_thread::sleep_for(lookup / 50);
                release();
            }
        });
    }
    ~SlowNames()
    {
        if (!active)
            return;
        ending = true;
        writer.join();
        umount2("/etc/hosts", MNT_DETACH);
        release();
    }
    // Opening for writing wakes every lookup waiting to read; closing at once
    // gives them an empty file.
    void release() const
    {
        int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            close(fd);
    }
#else
    explicit SlowNames(std::chrono::milliseconds = {}) : active(getenv("TESMAR_SLOW_NAMES") != nullptr) {}
    void release() const {}
#endif
};
