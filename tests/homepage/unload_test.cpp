// Unloading the library right after a check is safe, whatever of the check
// still waits on the network or a name lookup once it has answered. A
// program of its own: it must not hold the download's libraries itself.
#include "tests/support/library.h"
#include "tests/support/slow_names.h"
#include "tests/support/update_server.h"

#include <gtest/gtest.h>

TEST(UpdateUnload, UnloadingAfterChecksIsSafe)
{
    // No lookup ends before the last unload.
    SlowNames slow(std::chrono::seconds(60));
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
    // with the library unloaded.
    if (slow.active)
        slow.release();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
}
