// Loops over the command table: every command answers without a crash
// whatever it is given, and reads only the arguments the table says it reads.
#include "tests/support/update_server.h"
#include "common/command_table.h"
#include "tests/support/library.h"
#include "tests/support/recording_host.h"

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
#include <functional>
#include <limits>
#include <optional>
#include <set>

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
    RecordingHost host;

    GoodArguments() { giveTexts(host, "Beta", "Hello World"); }

    Arguments get()
    {
        host.scripted.subToolCount = 0; // every call meets the same host
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
    RecordingHost host;
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

// A command that cuts a text result to buffer 1's size ends it between
// characters; every other command that reads the size says here that it
// never cuts (it writes the whole text or nothing).
TEST_P(EveryCommand, CutsTextResultsBetweenCharacters)
{
    const std::string text = "Export_termin\u00e9_\u65e5\u672c_\u20ac_\U0001F600_\u00e9t\u00e9_\u00a7";
    LoadedLibrary library(libraryPath(GetParam().name));
    ASSERT_TRUE(library.handle);
    RecordingHost host;
    giveTexts(host, "key", text);
    Scratch home, served;
    served.file("u", "<url>" + text + "</url>\n");
    std::optional<UpdateServer> server;
    std::string address;
    if (GetParam().bit & (LibLauncher | LibLauncherWin))
    {
        server.emplace(utf8Text(served.root));
        address = server->url("u");
    }
    std::string settings = home.path("settings.txt");

    // How each command is made to write the text, from the smallest size
    // that lets it (the update checks read their address in buffer 1).
    struct Cutter
    {
        const char* name;
        std::function<float(HostCommandEntry, char*, int32_t)> call;
        size_t smallest = 1;
    };
    auto localized = [&](HostCommandEntry c, char* b, int32_t s) { return c("key", 0, b, s, nullptr, 0, &host.context); };
    auto update = [&](HostCommandEntry c, char* b, int32_t s) {
        memcpy(b, address.c_str(), address.size() + 1);
        return c(settings.c_str(), 0, b, s, nullptr, 0, nullptr);
    };
    const Cutter cutters[] = {
        {"DropdownGet", [](HostCommandEntry c, char* b, int32_t s) { return c(nullptr, 0, b, s, nullptr, 0, nullptr); }},
        {"GetLocalizedText", localized},
        {"GetLocalizedTitle", localized},
        {"GetLocalizedInfo", localized},
        {"GetLocalizedDescr", localized},
        {"StartProcess",
         [&](HostCommandEntry c, char* b, int32_t s) {
             memcpy(b, text.c_str(), text.size() + 1);
             return c("/nonexistent/Quorvel", 0, b, s, nullptr, 0, nullptr);
         }},
        {"CheckUpdateJA", update, address.size() + 1},
        {"CheckUpdateALL", update, address.size() + 1},
    };
    const std::set<std::string> neverCut = {"DropdownGetSize", "ExecuteCallback", "StrReplaceArg", "GetPublicFolder",
                                            "GetUserPath",     "GetFile",         "GrabCurrentTime", "GetFilesDialog",
                                            "GetFilePath",     "ChooseFolder",    "GetColorPicker",  "doExportCollada",
                                            "doAddMeshes"};
    library.command("DropdownNew")(nullptr, 0, nullptr, 0, nullptr, 0, nullptr);
    library.command("DropdownAdd")(text.c_str(), 0, nullptr, 0, nullptr, 0, nullptr);

    for (size_t i = 0; i < kCommandCount; i++)
    {
        const CommandInfo& info = kCommands[i];
        if (!(info.libraries & GetParam().bit) || !(info.arguments & ArgBuffer1Size))
            continue;
        const Cutter* cutter = nullptr;
        for (const Cutter& c : cutters)
            if (info.name == std::string(c.name))
                cutter = &c;
        if (!cutter)
        {
            EXPECT_TRUE(neverCut.count(info.name)) << info.name << " reads buffer 1's size: does it cut?";
            continue;
        }
        for (size_t size = cutter->smallest; size <= text.size() + 1; size++)
        {
            std::string expected = text;
            if (text.size() >= size)
            {
                // The longest start of the text, up to size - 1 bytes, that ends before a character's first byte.
                size_t end = size - 1;
                while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
                    end--;
                expected = text.substr(0, end);
            }
            std::vector<char> buffer(std::max(text.size(), address.size()) + 8, 'x');
            cutter->call(library.command(info.name), buffer.data(), int32_t(size));
            ASSERT_EQ(std::string(buffer.data(), std::min(buffer.size(), expected.size() + 1)), expected + '\0')
                << info.name << " into " << size << " bytes";
        }
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
