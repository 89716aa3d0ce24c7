// Buffer 1 is used only within the size the caller passed: for every command
// of both libraries whose table row reads buffer 1's size, buffer 1 ends
// exactly where an inaccessible page begins, and holds a text without its NUL
// cut to 0 bytes, 1 byte and its whole length. A read or write past the size
// faults.
#include "common/command_table.h"
#include "tests/support/library.h"
#include "tests/support/recording_host.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <map>

namespace
{
// Two pages, the second inaccessible; bytes are placed so that they end
// where the second begins.
struct GuardedPage
{
    size_t pageSize = size_t(sysconf(_SC_PAGESIZE));
    char* pages = static_cast<char*>(mmap(nullptr, 2 * pageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));

    GuardedPage() { mprotect(pages + pageSize, pageSize, PROT_NONE); }
    ~GuardedPage() { munmap(pages, 2 * pageSize); }

    char* place(const std::string& bytes)
    {
        char* start = pages + pageSize - bytes.size();
        memcpy(start, bytes.data(), bytes.size());
        return start;
    }
};

// What a command is called with; results, when given, for the three sizes.
struct Case
{
    std::string text;
    std::string content;
    double value;
    std::vector<float> results;
};
}

TEST(BufferOne, NoCommandReadsOrWritesPastItsSize)
{
    unsetenv("DISPLAY"); // the dialogs count as cancelled
    Scratch s;
    std::string served = s.file("served", "<2021>\n<url>http://pages/en</url>\n</2021>\n");
    std::string settings = s.path("settings.txt");
    std::string folder = s.root.string() + "/";
    // A text that needs its NUL is refused without one; the address of the
    // update check is the text of the bytes given.
    std::map<std::string, Case> cases = {
        {"StrReplaceArg", {"x", "a %ARG1% b", 1, {-1, -1, -1}}},
        {"CheckUpdateJA", {settings, "file://" + served, 0, {5, 5, 0}}},
        {"CheckUpdateALL", {settings, "file://" + served, 0, {5, 5, 0}}},
        {"StartProcess", {s.path("no-such-application"), "Vol:/Users/me/a.txt second", 0, {-1, -1, -1}}},
        {"ExecuteCallback", {"", std::string(8, '\0'), 0, {}}}, // a null function: nothing is called
        {"doExportCollada", {s.path("out.dae"), folder + '\0' + "Mesh", 0, {}}},
        {"doAddMeshes", {s.path("out.abc"), folder + '\0' + "Mesh", 0, {}}},
    };
    RecordingHost host;
    GuardedPage guard;
    ASSERT_NE(guard.pages, MAP_FAILED);
    size_t tested = 0;
    for (const char* name : {"Brindle", "TesmarLauncherDLL"})
    {
        LoadedLibrary library(libraryPath(name));
        unsigned bit = std::string(name) == "Brindle" ? LibBrindle : LibLauncher;
        for (size_t i = 0; i < kCommandCount; i++)
        {
            const CommandInfo& row = kCommands[i];
            if (!(row.libraries & bit) || !(row.arguments & ArgBuffer1Size))
                continue;
            Case c = cases.count(row.name) ? cases[row.name] : Case{"text", "Vol:/Users/me/a.txt second", 0, {}};
            HostCommandEntry command = library.command(row.name);
            ASSERT_TRUE(command) << row.name;
            size_t sizes[] = {0, 1, c.content.size()};
            for (size_t k = 0; k < 3; k++)
            {
                char* buffer1 = guard.place(c.content.substr(0, sizes[k]));
                float result = command(c.text.c_str(), c.value, buffer1, int32_t(sizes[k]), nullptr, 0, &host.context);
                if (!c.results.empty())
                {
                    EXPECT_EQ(result, c.results[k]) << name << " " << row.name << " size " << sizes[k];
                }
            }
            tested++;
        }
    }
    EXPECT_GE(tested, 20u);
}
