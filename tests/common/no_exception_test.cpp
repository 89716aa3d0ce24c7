// No exception ever leaves a command: every allocation a command makes is
// failed in turn, through the built library, and the command must answer a
// negative result with no descriptor or temporary file left behind. Then both
// exports of a large mesh under a low address-space limit, in a child.
#include "tests/support/library.h"
#include "tests/support/recording_host.h"
#include "tests/support/vyx_writer.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <new>

// The test-only allocation hook: when armed with N, the N-th allocation from
// then on fails as if memory had run out. It serves the libraries too, whose
// allocations come here. As any operator new, it calls the new handler after
// a failure and tries again.
static long g_countdown = 0;
static bool g_fired = false;
static size_t g_largest = 0; // the largest block asked for since reset
// A new-handler seen at a failure: the libraries must leave the process's
// (none here) as it is, since it serves every thread of the host.
static bool g_handlerSeen = false;

// The large arrays ask for blocks aligned to the system's large pages.
static void* allocate(size_t size, bool nothrow, size_t alignment = 0)
{
    bool fail = g_countdown > 0 && --g_countdown == 0;
    g_largest = std::max(g_largest, size);
    g_handlerSeen = g_handlerSeen || (fail && std::get_new_handler());
    for (;;)
    {
        void* memory = fail ? nullptr
                       : alignment ? aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment)
                                   : malloc(size ? size : 1);
        if (memory)
            return memory;
        g_fired = g_fired || fail;
        fail = false;
        std::new_handler handler = std::get_new_handler();
        if (!handler && nothrow)
            return nullptr;
        if (!handler)
            throw std::bad_alloc();
        try
        {
            handler();
        }
        catch (const std::bad_alloc&)
        {
            if (nothrow)
                return nullptr;
            throw;
        }
    }
}

void* operator new(size_t size) { return allocate(size, false); }
void* operator new[](size_t size) { return allocate(size, false); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return allocate(size, true); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return allocate(size, true); }
void operator delete(void* memory) noexcept { free(memory); }
void operator delete[](void* memory) noexcept { free(memory); }
void operator delete(void* memory, size_t) noexcept { free(memory); }
void operator delete[](void* memory, size_t) noexcept { free(memory); }
void* operator new(size_t size, std::align_val_t alignment) { return allocate(size, false, size_t(alignment)); }
void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocate(size, true, size_t(alignment));
}
void operator delete(void* memory, std::align_val_t) noexcept { free(memory); }
void operator delete(void* memory, size_t, std::align_val_t) noexcept { free(memory); }

namespace
{
size_t openDescriptors()
{
    return size_t(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                std::filesystem::directory_iterator()));
}

// Names in the folder that no command should leave: its temporary files.
size_t temporaries(const Scratch& s)
{
    size_t found = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(s.root))
        found += entry.path().filename().string()[0] == '.';
    return found;
}

struct Sweep
{
    LoadedLibrary library{libraryPath("TesmarLauncherDLL")};
    Scratch s;
    long failures = 0; // allocations failed, over every run

    // Fails the first allocation, then the second, and so on, until the
    // command runs without reaching the failing one; its answer then is the
    // clean one.
    void run(const char* name, const std::function<float(HostCommandEntry)>& call, float clean,
             const std::function<void()>& prepare = [] {})
    {
        HostCommandEntry command = library.command(name);
        ASSERT_TRUE(command) << name;
        size_t descriptors = openDescriptors();
        for (long n = 1;; n++)
        {
            prepare();
            g_fired = false;
            g_countdown = n;
            float result = call(command);
            g_countdown = 0;
            EXPECT_FALSE(g_handlerSeen) << name << " set a new-handler";
            if (!g_fired)
            {
                EXPECT_EQ(result, clean) << name;
                break;
            }
            failures++;
            EXPECT_LT(result, 0) << name << " with allocation " << n << " failing";
            EXPECT_EQ(openDescriptors(), descriptors) << name << " " << n;
            EXPECT_EQ(temporaries(s), 0u) << name << " " << n;
        }
    }
};

std::string meshList(const Scratch& s, const std::vector<std::string>& names)
{
    std::string list = s.root.string() + "/" + '\0';
    for (const std::string& name : names)
        list += name + '\0';
    return list;
}
}

TEST(NoException, EveryAllocationOfTheScriptHelpersMayFail)
{
    Sweep sweep;
    RecordingHost host;
    host.scripted.choose = 1;
    host.scripted.strings[-1]["key"] = "Hello World";
    auto plain = [](const char* text, double value = 0) {
        return [=](HostCommandEntry command) { return command(text, value, nullptr, 0, nullptr, 0, nullptr); };
    };
    plain(nullptr)(sweep.library.command("DropdownNew"));
    sweep.run("DropdownAdd", plain("Sphere"), 0);
    sweep.run("DropdownAdd", plain("Cube"), 1);
    sweep.run("DropdownShow", [&](HostCommandEntry c) { return c("Pick", 0, nullptr, 0, nullptr, 0, &host.context); }, 1);
    char text[64];
    sweep.run("StrReplaceArg", [&](HostCommandEntry c) {
        strcpy(text, "a %ARG1% b %ARG1%");
        return c("twelve", 1, text, sizeof text, nullptr, 0, nullptr);
    }, 0);
    sweep.run("GetLocalizedText", [&](HostCommandEntry c) { return c("key", 0, text, sizeof text, nullptr, 0, &host.context); }, 0);
}

// The edited text is never held larger than buffer 1: ten thousand
// placeholders and a long replacement are refused without building the text.
TEST(NoException, StrReplaceArgStaysWithinBufferOne)
{
    LoadedLibrary library(libraryPath("TesmarLauncherDLL"));
    std::string text;
    for (int i = 0; i < 10000; i++)
        text += "%ARG1%";
    std::vector<char> buffer(text.begin(), text.end());
    buffer.resize(text.size() + 1024, '\0');
    std::string replacement(100000, 'x');
    g_largest = 0;
    EXPECT_EQ(library.command("StrReplaceArg")(replacement.c_str(), 1, buffer.data(), int32_t(buffer.size()), nullptr,
                                               0, nullptr),
              -1);
    EXPECT_LE(g_largest, 2 * buffer.size());
    EXPECT_EQ(std::string(buffer.data()), text);
}

TEST(NoException, EveryAllocationOfBothExportsMayFail)
{
    Sweep sweep;
    VyxMeshData grid = vyxQuadGrid(3, 2);
    ASSERT_TRUE(writeBytes(sweep.s.path("A.Vyx"), vyxMeshFile(grid)));
    ASSERT_TRUE(writeBytes(sweep.s.path("B.Vyx"), vyxMeshFile(grid)));
    std::string textured = meshList(sweep.s, {"A_TXTR", "B"}), list = meshList(sweep.s, {"A", "B"});
    std::string dae = sweep.s.path("out.dae"), abc = sweep.s.path("out.abc");
    sweep.run("doExportCollada", [&](HostCommandEntry c) {
        return c(dae.c_str(), 0, textured.data(), int32_t(textured.size()), nullptr, 0, nullptr);
    }, 0);
    sweep.run("doAddMeshes", [&](HostCommandEntry c) {
        return c(abc.c_str(), 0, list.data(), int32_t(list.size()), nullptr, 0, nullptr);
    }, 0);
    // The library's own allocator passes them all to the process's.
    EXPECT_GT(sweep.failures, 1000);
}

TEST(NoException, EveryAllocationOfTheUpdateCheckMayFail)
{
    Sweep sweep;
    sweep.s.file("served", "<2021>\n<EN><url>http://pages/en</url><width>640</width>\n"
                           "<timestamp>2021-03-04 05:06:07</timestamp>\n</EN>\n</2021>\n");
    std::string settings = sweep.s.path("home/settings.txt");
    sweep.s.folder("home");
    char url[256];
    sweep.run(
        "CheckUpdateALL", [&](HostCommandEntry c) { return c(settings.c_str(), 0, url, sizeof url, nullptr, 0, nullptr); },
        -6, [&] {
            std::filesystem::remove(sweep.s.path("home/update.dat"));
            sweep.s.file("home/settings.txt", "s_option=1\n");
            snprintf(url, sizeof url, "file://%s", sweep.s.path("served").c_str());
        });
}

TEST(NoException, EveryAllocationOfTheDialogAnswersMayFail)
{
    Sweep sweep;
    // A stand-in zenity that accepts two files.
    sweep.s.folder("bin");
    std::string program = sweep.s.file("bin/zenity", "#!/bin/sh\nprintf '/tmp/a.obj/.//tmp/b.ma'\n");
    chmod(program.c_str(), 0755);
    std::string path = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (sweep.s.path("bin") + ":" + path).c_str(), 1);
    setenv("DISPLAY", ":stand-in", 1);
    char types[32];
    sweep.run("GetFilesDialog", [&](HostCommandEntry c) {
        strcpy(types, ".obj, .ma");
        return c("Open", 0, types, sizeof types, nullptr, 0, nullptr);
    }, 2);
    setenv("PATH", path.c_str(), 1);
    unsetenv("DISPLAY");
}

// A mesh large enough that the exports' own tables need more memory than a
// low address-space limit leaves: each limit ends in a clean answer, never in
// an abort. The sanitizers reserve more address space than any such limit.
TEST(NoException, LargeExportsUnderAnAddressSpaceLimit)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address-space limits do not apply under AddressSanitizer";
#else
    Scratch s;
    ASSERT_TRUE(writeBytes(s.path("Big.Vyx"), vyxMeshFile(vyxQuadGrid(1000, 500))));
    std::string list = meshList(s, {"Big"});
    bool failedCleanly = false;
    for (const char* name : {"doExportCollada", "doAddMeshes"})
    {
        for (rlim_t extra : {16, 48, 96, 192})
        {
            pid_t child = fork();
            if (child == 0)
            {
                LoadedLibrary library(libraryPath("TesmarLauncherDLL"));
                rusage usage{};
                getrusage(RUSAGE_SELF, &usage);
                // The limit sits a little above what the process already uses.
                rlim_t used = 0;
                std::ifstream("/proc/self/statm") >> used;
                rlimit limit{};
                limit.rlim_cur = limit.rlim_max = used * rlim_t(sysconf(_SC_PAGESIZE)) + (extra << 20);
                setrlimit(RLIMIT_AS, &limit);
                std::string out = s.path(std::string("out-") + name);
                float result = library.command(name)(out.c_str(), 0, list.data(), int32_t(list.size()), nullptr, 0,
                                                     nullptr);
                _exit(result == 0 ? 0 : result < 0 ? 1 : 2);
            }
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status)) << name << " ended by signal " << WTERMSIG(status) << " at +" << extra;
            EXPECT_NE(WEXITSTATUS(status), 2) << name;
            failedCleanly = failedCleanly || WEXITSTATUS(status) == 1;
        }
    }
    EXPECT_TRUE(failedCleanly) << "no limit was low enough to make an export fail";
#endif
}
