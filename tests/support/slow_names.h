// Names that take seconds to look up, without a network: for this process
// alone (a mount namespace of its own, which needs root), the hosts file is
// a FIFO that the lookups wait on, and once a lookup time a writer opens it,
// ending every lookup then waiting with no such name; the name server is
// the loopback address, where none answers at once, so that no lookup then
// waits on the machine's network. Numeric addresses are never looked up.
// Without root nothing changes and active is false. Under Wine the script
// slow_names_under_wine.sh does the same for the whole program and says so
// in TESMAR_SLOW_NAMES.
#pragma once

#include "scratch.h"

#include <cstdlib>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
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
    std::string servers = folder.file("resolv.conf", "nameserver 127.0.0.1\noptions attempts:1 timeout:1\n");
    std::mutex lock;
    std::condition_variable ended;
    bool ending = false;
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
                 mount(fifo.c_str(), "/etc/hosts", nullptr, MS_BIND, nullptr) == 0 &&
                 mount(servers.c_str(), "/etc/resolv.conf", nullptr, MS_BIND, nullptr) == 0;
        if (!active)
            return;
        writer = std::thread([this, lookup] {
            std::unique_lock<std::mutex> held(lock);
            while (!ended.wait_for(held, lookup, [this] { return ending; }))
                release();
        });
    }
    ~SlowNames()
    {
        if (!active)
            return;
        {
            std::lock_guard<std::mutex> held(lock);
            ending = true;
        }
        ended.notify_one();
        writer.join();
        umount2("/etc/hosts", MNT_DETACH);
        umount2("/etc/resolv.conf", MNT_DETACH);
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
