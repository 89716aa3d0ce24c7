// Loops over the command table: every command answers without a crash
// whatever it is given, and reads only the arguments the table says it reads.
#include "command_table.h"
#include "library.h"
#include "test_host.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <process.h>
#include <windows.h>
#define getpid _getpid
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

namespace
{
struct Arguments
{
    const char* text;
    double value;
    char* buffer1;
    int32_t buffer1Size;
    char* buffer2;
    int32_t buffer2Size;
    HostContext* host;
};

float invoke(HostCommandEntry command, const Arguments& a)
{
    return command(a.text, a.value, a.buffer1, a.buffer1Size, a.buffer2, a.buffer2Size, a.host);
}

void noop(const char*, char*, int32_t, char*, int32_t, HostContext*)
{
}

// A page that may not be touched: reading an argument that points here crashes.
char* forbiddenPage()
{
#if defined(_WIN32)
    static void* page = VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS);
#else
    static void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
#endif
    return static_cast<char*>(page);
}

// Good arguments for any command: a text, the value 1, buffer 1 holding a
// callable address at offset 1 and a placeholder, buffer 2, the host.
struct GoodArguments
{
    char buffer1[64] = {};
    char buffer2[64] = {};
    TestHost host;

    Arguments get()
    {
        memset(buffer1, 0, sizeof(buffer1));
        buffer1[0] = 'O';
        auto function = &noop;
        memcpy(buffer1 + 1, &function, sizeof(function));
        strcpy(buffer1 + 9, "ld %ARG1%");
        return {"Beta", 1, buffer1, 64, buffer2, 64, &host.context};
    }
};

Arguments poisonUnread(Arguments a, unsigned reads)
{
    char* forbidden = forbiddenPage();
    if (!(reads & ArgText))
        a.text = forbidden;
    if (!(reads & ArgValue))
        a.value = std::nan("");
    if (!(reads & ArgBuffer1))
        a.buffer1 = forbidden;
    if (!(reads & ArgBuffer1Size))
        a.buffer1Size = std::numeric_limits<int32_t>::min();
    if (!(reads & ArgBuffer2))
        a.buffer2 = forbidden;
    if (!(reads & ArgBuffer2Size))
        a.buffer2Size = std::numeric_limits<int32_t>::min();
    if (!(reads & ArgHost))
        a.host = reinterpret_cast<HostContext*>(forbidden);
    return a;
}

// Commands that take paths work in a scratch folder, emptied before each
// call so that every call meets the same state.
struct ScratchFolder
{
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tesmar-arguments-" + std::to_string(getpid()));

    ScratchFolder()
    {
        // Every command is called here: none may reach a real desktop.
#if !defined(_WIN32)
        unsetenv("DISPLAY");
#endif
        reset();
    }
    ~ScratchFolder()
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }
    void reset()
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
    }
};

// A current dropdown of three items with the second selected, in an empty
// scratch folder with no folder open for enumeration.
void prepareState(const LoadedLibrary& library, ScratchFolder& scratch)
{
    scratch.reset();
    if (HostCommandEntry closeFolder = library.command("CloseFolder"))
        closeFolder(nullptr, 0, nullptr, 0, nullptr, 0, nullptr);
    auto call = [&](const char* name, const char* text, double value) {
        library.command(name)(text, value, nullptr, 0, nullptr, 0, nullptr);
    };
    call("DropdownNew", nullptr, 0);
    for (const char* item : {"Alpha", "Beta", "Gamma"})
        call("DropdownAdd", item, 0);
    call("DropdownSelect", nullptr, 1);
}

}

struct LibraryCase
{
    const char* name;
    Library bit;
};

class EveryCommand : public testing::TestWithParam<LibraryCase>
{
};

TEST_P(EveryCommand, AnswersNullAndEmptyArgumentsWithoutACrash)
{
    LoadedLibrary library(libraryPath(GetParam().name));
    ASSERT_TRUE(library.handle);
    ScratchFolder scratch;
    TestHost host;
    char empty[1] = {0};
    const Arguments cases[] = {
        {nullptr, 0, nullptr, 0, nullptr, 0, nullptr},
        {"", -1, empty, 0, empty, 0, &host.context},
        {"", 1e30, empty, -1, empty, -1, &host.context},
        {"x", std::nan(""), empty, std::numeric_limits<int32_t>::min(), nullptr, 0, &host.context},
    };
    for (size_t i = 0; i < kCommandCount; i++)
    {
        const CommandInfo& info = kCommands[i];
        if (!(info.libraries & GetParam().bit))
            continue;
        HostCommandEntry command = library.command(info.name);
        ASSERT_TRUE(command) << info.name;
        for (const Arguments& a : cases)
            EXPECT_TRUE(std::isfinite(invoke(command, a))) << info.name;
        prepareState(library, scratch);
        for (const Arguments& a : cases)
            EXPECT_TRUE(std::isfinite(invoke(command, a))) << info.name << " with a dropdown";
    }
}

TEST_P(EveryCommand, ReadsOnlyTheArgumentsInItsTableRow)
{
    LoadedLibrary library(libraryPath(GetParam().name));
    ASSERT_TRUE(library.handle);
    ScratchFolder scratch;
    GoodArguments good;
    for (size_t i = 0; i < kCommandCount; i++)
    {
        const CommandInfo& info = kCommands[i];
        if (!(info.libraries & GetParam().bit))
            continue;
        HostCommandEntry command = library.command(info.name);
        ASSERT_TRUE(command) << info.name;

        prepareState(library, scratch);
        float clean = invoke(command, good.get());
        prepareState(library, scratch);
        float poisoned = invoke(command, poisonUnread(good.get(), info.arguments));
        if (strcmp(info.name, "DropdownNew") == 0)
            EXPECT_GE(poisoned, 0);
        else
            EXPECT_EQ(clean, poisoned) << info.name;
    }
}

#if defined(_WIN32)
INSTANTIATE_TEST_SUITE_P(Libraries, EveryCommand,
                         testing::Values(LibraryCase{"Brindle", LibBrindleWin},
                                         LibraryCase{"TesmarLauncherDLL", LibLauncherWin}),
#else
INSTANTIATE_TEST_SUITE_P(Libraries, EveryCommand,
                         testing::Values(LibraryCase{"Brindle", LibBrindle},
                                         LibraryCase{"TesmarLauncherDLL", LibLauncher}),
#endif
                         [](const testing::TestParamInfo<LibraryCase>& info) { return std::string(info.param.name); });
