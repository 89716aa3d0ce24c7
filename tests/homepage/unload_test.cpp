// Unloading the library right after a check is safe, whatever of the check
// still waits on the network or a name lookup once it has answered. A
// program of its own: it must not hold the download's libraries itself.
#include "tests/support/library.h"
#include "tests/support/slow_names.h"
#include "tests/support/update_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#if defined(_WIN32)
#include <tlhelp32.h>
#endif

namespace
{
// The threads this process runs now, by their system's numbers.
std::set<unsigned long> threads()
{
    std::set<unsigned long> found;
#if defined(_WIN32)
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (bool more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            found.insert(entry.th32ThreadID);
    CloseHandle(snapshot);
#else
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
        found.insert(std::stoul(entry.path().filename().string()));
#endif
    return found;
}

// Waits until every thread that is not one of these has ended.
bool onlyThese(const std::set<unsigned long>& kept, std::chrono::seconds within)
{
    auto until = std::chrono::steady_clock::now() + within;
    for (;;)
    {
        std::set<unsigned long> now = threads();
        if (std::includes(kept.begin(), kept.end(), now.begin(), now.end()))
            return true;
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
}

TEST(UpdateUnload, UnloadingAfterChecksIsSafe)
{
    // No lookup ends before the last unload.
    SlowNames slow(std::chrono::seconds(60));
    std::set<unsigned long> before = threads();
    Scratch home, served;
    std::string settings = home.file("settings.txt", "s_option=1\n");
    {
        UpdateServer server{utf8Text(served.root)};
        ASSERT_GT(server.port, 0);
        std::string silent = server.url("silent");
        std::string slowUrl = "http://" + std::string(SlowNames::kName) + ":" + std::to_string(server.port) + "/data";
        for (int round = 0; round < 20; round++)
        {
            LoadedLibrary library{libraryPath("TesmarLauncherDLL")};
            HostCommandEntry check = library.command("CheckUpdateALL");
            ASSERT_TRUE(check);
            char url[256];
            snprintf(url, sizeof url, "%s", (slow.active && round % 2 ? slowUrl : silent).c_str());
            EXPECT_EQ(check(settings.c_str(), 0, url, sizeof url, nullptr, 0, nullptr), 5) << url;
        }
    }
    // The server has gone and the lookups end: what waited on them runs now,
    // with the library unloaded, until each thread that waited has ended.
    if (slow.active)
        slow.release();
    EXPECT_TRUE(onlyThese(before, std::chrono::seconds(60))) << "a thread of the checks still runs";
}
