// The exports at scale: grid meshes of 1M, 4M and 16M quads (and 25M with
// --25m), each exported by both commands of the built library in a child
// process of its own. Prints, for each, the seconds (user and system apart)
// and the peak memory, per million quads, beside the bytes of the Vyx arrays
// the export reads, and checks the outputs: the Collada arrays' counts, and
// the archive read back. Beside each export, in the same run, its I/O floor:
// reading the Vyx file into new memory, and writing as many bytes as the
// export wrote to the same folder from one reused buffer (the faster of
// writing into the cache and writing behind), each in a child of its own too.
// Goals: each export's peak memory at most 1.3x its arrays, the per-quad user
// time at 16M within 15% of that at 1M, and at 25M each export within 1.5x
// its floor. Run by scripts/bench --scale.
#include "file_rules/file_rules.h"
#include "grid_file.h"
#include "platform/memory.h"
#include "rounds.h"
#include "scale_checks.h"
#include "tests/support/temp_folder.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace
{
using HostCommandEntry = float (*)(const char*, double, char*, int32_t, char*, int32_t, void*);

// A field of /proc/self/status in kB: VmRSS now, VmHWM the peak of this
// process image. The peak is read here rather than from the parent's
// wait4, which would count the parent's own peak when the child was
// spawned sharing its memory until exec.
uint64_t statusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return strtoull(line.c_str() + strlen(field) + 1, nullptr, 10);
    return 0;
}

double cpuSeconds(const timeval& time)
{
    return double(time.tv_sec) + double(time.tv_usec) / 1e6;
}

// The child: one export through the library, as the host calls it. Prints
// its result, seconds, resident kB before the call and at the peak, and the
// user and system seconds of the call alone (loading the library and
// starting the process are no part of the export's work).
int exportChild(const char* library, const char* command, const char* output, const char* folder,
                const char* name)
{
    void* handle = dlopen(library, RTLD_NOW | RTLD_LOCAL);
    auto entry = handle ? reinterpret_cast<HostCommandEntry>(dlsym(handle, command)) : nullptr;
    if (!entry)
        return 2;
    std::string list = std::string(folder) + '\0' + name + '\0';
    uint64_t before = statusKilobytes("VmRSS:");
    rusage usageBefore{}, usageAfter{};
    getrusage(RUSAGE_SELF, &usageBefore);
    double start = secondsNow();
    float result = entry(output, 0, list.data(), int32_t(list.size()), nullptr, 0, nullptr);
    double seconds = secondsNow() - start;
    getrusage(RUSAGE_SELF, &usageAfter);
    printf("%g %.6f %" PRIu64 " %" PRIu64 " %.6f %.6f\n", double(result), seconds, before, statusKilobytes("VmHWM:"),
           cpuSeconds(usageAfter.ru_utime) - cpuSeconds(usageBefore.ru_utime),
           cpuSeconds(usageAfter.ru_stime) - cpuSeconds(usageBefore.ru_stime));
    return 0;
}

// The floor's two halves, each timed from inside its child as an export is.
// Reading goes into memory never touched before, as the reader's arrays do.
int readChild(const char* path)
{
    int file = open(path, O_RDONLY);
    struct stat status{};
    if (file < 0 || fstat(file, &status) != 0)
        return 1;
    double start = secondsNow();
    size_t size = size_t(status.st_size);
    // In memory of the kind the reader gives its arrays.
    LargeArray<char> memory = newLargeArray<char>(size);
    if (!memory)
        return 1;
    for (size_t done = 0; done < size;)
    {
        ssize_t got = read(file, memory.get() + done, std::min(size - done, size_t(1) << 30));
        if (got <= 0)
            return 1;
        done += size_t(got);
    }
    printf("%.6f\n", secondsNow() - start);
    close(file);
    return 0;
}

// Writing as an export writes: a new file in the folder, 1 MiB at a time
// from one reused buffer, each block given to put; false when put fails.
template <class Put>
bool writeBlocks(const char* bytesText, Put put)
{
    uint64_t bytes = strtoull(bytesText, nullptr, 10);
    std::vector<char> block(size_t(1) << 20, ' ');
    for (uint64_t done = 0; done < bytes;)
    {
        size_t part = size_t(std::min<uint64_t>(bytes - done, block.size()));
        if (!put(block.data(), part))
            return false;
        done += part;
    }
    return true;
}

// Plainly into the system's cache.
int writeChild(const char* path, const char* bytesText)
{
    double start = secondsNow();
    int file = open(path, O_WRONLY | O_CREAT | O_EXCL, 0644);
    auto put = [&](const char* data, size_t size) { return write(file, data, size) == ssize_t(size); };
    if (file < 0 || !writeBlocks(bytesText, put) || close(file) != 0)
        return 1;
    printf("%.6f\n", secondsNow() - start);
    return 0;
}

// Through the exports' own file, which writes a large file behind
// (file_rules.h). The floor is the faster of the two.
int writeBehindChild(const char* path, const char* bytesText)
{
    double start = secondsNow();
    TemporaryFile file;
    auto put = [&](const char* data, size_t size) { return file.write(data, size); };
    if (!file.create(path, ".floor-") || !writeBlocks(bytesText, put) || !file.replace(path, false))
        return 1;
    printf("%.6f\n", secondsNow() - start);
    return 0;
}

int archiveChild(const char* path)
{
    ArchiveSizes sizes;
    if (!readArchiveSizes(path, sizes))
        return 1;
    printf("%" PRIu64 " %" PRIu64 " %" PRIu64 " %" PRIu64 " %" PRIu64 "\n", sizes.positions, sizes.indices,
           sizes.counts, sizes.uvValues, sizes.uvIndices);
    return 0;
}

// Runs this program with the arguments; answers its standard output, false
// when it did not exit with 0. usage receives the child's resource use.
bool runChild(const std::vector<std::string>& arguments, std::string& output, rusage& usage)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    int spawned = posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    output.clear();
    char block[256];
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], block, sizeof block)) > 0)
        output.append(block, size_t(got));
    close(pipeEnds[0]);
    int status = 0;
    if (spawned != 0 || wait4(child, &status, 0, &usage) != child)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Run
{
    double seconds = 0;
    double userSeconds = 0;
    double systemSeconds = 0; // mostly the kernel taking the pages written and allocated
    double peakBytes = 0;   // the export's own: the peak less what the process held before the call
    double maxRssBytes = 0; // the child's whole peak, as wait4 reports it
    double outputBytes = 0;
    double floorRead = 0;   // the Vyx file read into new memory
    double plainWrite = 0;  // outputBytes written from one reused buffer into the cache
    double behindWrite = 0; // the same through the exports' own file
    double floor() const { return floorRead + std::min(plainWrite, behindWrite); }
};

// Memory freed here goes back to the host after a couple of seconds, and is
// several times dearer to touch after that than before (reading 1 GB into
// new memory: 0.23 s right after a child freed as much, 2.6 s some seconds
// later). So each child of a large mesh starts only after the memory of the
// one before has gone back, and none inherits another's warm pages: an
// export measured cold against a floor measured warm would be no comparison.
void settle(bool large)
{
    sync();
    if (large)
        sleep(4);
}

bool exportOnce(const char* command, const std::string& folder, const std::string& output, bool large, Run& run)
{
    std::filesystem::remove(output);
    // The grid file and the outputs of the exports before were written by
    // this benchmark, not by the export measured: they reach the disk first.
    settle(large);
    std::string text;
    rusage usage{};
    if (!runChild({"scale-exports", "--export", TESMAR_LIBRARY, command, output, folder + "/", "Grid"}, text, usage))
        return false;
    double result = 0;
    uint64_t before = 0, peak = 0;
    if (sscanf(text.c_str(), "%lf %lf %" SCNu64 " %" SCNu64 " %lf %lf", &result, &run.seconds, &before, &peak,
               &run.userSeconds, &run.systemSeconds) != 6 ||
        result != 0)
        return false;
    run.peakBytes = double(peak - std::min(peak, before)) * 1024;
    run.maxRssBytes = double(usage.ru_maxrss) * 1024;
    run.outputBytes = double(std::filesystem::file_size(output));
    return true;
}

double childSeconds(const std::vector<std::string>& arguments)
{
    std::string text;
    rusage usage{};
    double seconds = -1;
    if (!runChild(arguments, text, usage) || sscanf(text.c_str(), "%lf", &seconds) != 1)
        return -1;
    return seconds;
}

// The floor of the export just run, under the same conditions: the files
// before it on the disk first, a new file written beside the output.
bool floorOnce(const std::string& folder, bool large, Run& run)
{
    std::string written = folder + "/floor.bin";
    std::filesystem::remove(written);
    settle(large);
    run.floorRead = childSeconds({"scale-exports", "--read", folder + "/Grid.Vyx"});
    settle(large);
    char bytes[32];
    snprintf(bytes, sizeof bytes, "%.0f", run.outputBytes);
    run.plainWrite = childSeconds({"scale-exports", "--write", written, bytes});
    std::filesystem::remove(written);
    settle(large);
    run.behindWrite = childSeconds({"scale-exports", "--write-behind", written, bytes});
    std::filesystem::remove(written);
    return run.floorRead >= 0 && run.plainWrite >= 0 && run.behindWrite >= 0;
}

bool documentAsExpected(const std::string& path, const GridCounts& grid)
{
    std::vector<DocumentArray> arrays;
    if (!readDocumentArrays(path, arrays) || arrays.size() != 6)
        return false;
    const uint64_t expected[4][2] = {{3 * grid.vertices, 3 * grid.vertices},
                                     {2 * grid.uvPairs, 2 * grid.uvPairs},
                                     {4 * grid.vertices, 4 * grid.vertices},
                                     {grid.faces, 0}};
    for (size_t i = 0; i < 4; i++)
        if (arrays[i].declared != expected[i][0] || arrays[i].numbers != expected[i][1])
            return false;
    // Every face a quad, each corner with its vertex, UV and colour.
    return arrays[4].numbers == grid.faces && arrays[4].sum == 4 * grid.faces &&
           arrays[5].numbers == 3 * arrays[4].sum;
}

bool archiveAsExpected(const std::string& path, const GridCounts& grid)
{
    std::string text;
    rusage usage{};
    if (!runChild({"scale-exports", "--check-archive", path}, text, usage))
        return false;
    uint64_t sizes[5] = {};
    if (sscanf(text.c_str(), "%" SCNu64 " %" SCNu64 " %" SCNu64 " %" SCNu64 " %" SCNu64, &sizes[0], &sizes[1],
               &sizes[2], &sizes[3], &sizes[4]) != 5)
        return false;
    return sizes[0] == grid.vertices && sizes[1] == 4 * grid.faces && sizes[2] == grid.faces &&
           sizes[3] == grid.uvPairs && sizes[4] == 4 * grid.faces;
}

struct Figures
{
    uint32_t side = 0;
    GridCounts grid;
    Run runs[2];
};

const char* const kCommands[2] = {"doExportCollada", "doAddMeshes"};

// Each export the median of its rounds, by seconds.
bool measure(uint32_t side, int rounds, const std::string& folder, Figures& figures)
{
    figures.side = side;
    std::string vyx = folder + "/Grid.Vyx";
    if (!writeGridFile(vyx, side, side, figures.grid))
    {
        fprintf(stderr, "scale: cannot write the %u x %u grid\n", side, side);
        return false;
    }
    for (size_t c = 0; c < 2; c++)
    {
        std::string output = folder + (c == 0 ? "/out.dae" : "/out.abc");
        std::vector<Run> runs(static_cast<size_t>(rounds));
        bool large = side >= 4000;
        for (Run& run : runs)
            if (!exportOnce(kCommands[c], folder, output, large, run) || !floorOnce(folder, large, run))
            {
                fprintf(stderr, "scale: %s of %u x %u quads failed\n", kCommands[c], side, side);
                return false;
            }
        std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
        figures.runs[c] = runs[runs.size() / 2];
        bool good = c == 0 ? documentAsExpected(output, figures.grid) : archiveAsExpected(output, figures.grid);
        std::filesystem::remove(output);
        if (!good)
        {
            fprintf(stderr, "scale: the output of %s of %u x %u quads is not as expected\n", kCommands[c], side, side);
            return false;
        }
    }
    std::filesystem::remove(vyx);
    return true;
}

void printTable(const std::vector<Figures>& all)
{
    printf("scale: grid meshes with UVs and colours, each export in a child process; MB are 10^6 bytes\n");
    printf("  %-16s %6s %8s %9s %9s %8s %8s %10s %8s %8s %8s\n", "export", "Mquads", "arrays", "seconds", "s/Mquad",
           "user s", "sys s", "peak MB", "/arrays", "floor s", "/floor");
    for (size_t c = 0; c < 2; c++)
        for (const Figures& f : all)
        {
            double mquads = double(f.grid.faces) / 1e6;
            const Run& run = f.runs[c];
            printf("  %-16s %6.0f %6.0fMB %9.2f %9.3f %8.2f %8.2f %10.0f %8.2f %8.2f %8.2f"
                   "   (floor: read %.2f s, write %.0f MB %.2f s, behind %.2f s; whole child %.0f MB)\n",
                   kCommands[c], mquads, double(f.grid.arrayBytes) / 1e6, run.seconds, run.seconds / mquads,
                   run.userSeconds, run.systemSeconds, run.peakBytes / 1e6, run.peakBytes / double(f.grid.arrayBytes),
                   run.floor(), run.seconds / run.floor(), run.floorRead, run.outputBytes / 1e6, run.plainWrite,
                   run.behindWrite, run.maxRssBytes / 1e6);
        }
}

// A figure at n quads per quad, over the same at 1M.
double perQuad(const Figures& at, const Figures& first, double Run::*figure, size_t c)
{
    return (at.runs[c].*figure / double(at.grid.faces)) / (first.runs[c].*figure / double(first.grid.faces));
}

void printGoals(const std::vector<Figures>& all)
{
    const Figures& first = all.front();
    const Figures& last = all.back();
    const Figures* sixteen = nullptr;
    for (const Figures& f : all)
        if (f.side == 4000)
            sixteen = &f;
    for (size_t c = 0; c < 2; c++)
    {
        double worst = 0;
        for (const Figures& f : all)
            worst = std::max(worst, f.runs[c].peakBytes / double(f.grid.arrayBytes));
        printf("  %-16s peak / arrays at most %.2f  (goal: at most 1.30)  %s\n", kCommands[c], worst,
               worst <= 1.3 ? "met" : "MISSED");
        if (sixteen)
        {
            double user = perQuad(*sixteen, first, &Run::userSeconds, c);
            printf("  %-16s 16M / 1M per quad: user seconds %.2f  (goal: within 0.85 to 1.15)  %s;"
                   " seconds %.2f, memory %.2f\n",
                   kCommands[c], user, std::fabs(user - 1) <= 0.15 ? "met" : "MISSED",
                   perQuad(*sixteen, first, &Run::seconds, c), perQuad(*sixteen, first, &Run::peakBytes, c));
        }
        double ratio = last.runs[c].seconds / last.runs[c].floor();
        if (last.side == 5000)
            printf("  %-16s 25M: export / floor %.2f  (goal: at most 1.50)  %s\n", kCommands[c], ratio,
                   ratio <= 1.5 ? "met" : "MISSED");
        else
            printf("  %-16s %.0fM: export / floor %.2f  (the goal is at 25M: run with --25m)\n", kCommands[c],
                   double(last.grid.faces) / 1e6, ratio);
    }
}
}

int main(int argc, char** argv)
{
    if (argc == 7 && strcmp(argv[1], "--export") == 0)
        return exportChild(argv[2], argv[3], argv[4], argv[5], argv[6]);
    if (argc == 3 && strcmp(argv[1], "--check-archive") == 0)
        return archiveChild(argv[2]);
    if (argc == 3 && strcmp(argv[1], "--read") == 0)
        return readChild(argv[2]);
    if (argc == 4 && strcmp(argv[1], "--write") == 0)
        return writeChild(argv[2], argv[3]);
    if (argc == 4 && strcmp(argv[1], "--write-behind") == 0)
        return writeBehindChild(argv[2], argv[3]);
    std::vector<uint32_t> sides = {1000, 2000, 4000};
    for (int i = 1; i < argc; i++)
        if (strcmp(argv[i], "--25m") == 0)
            sides.push_back(5000);
    int rounds = roundsArgument(argc, argv);
    TempFolder folder;
    std::vector<Figures> all;
    for (uint32_t side : sides)
    {
        all.emplace_back();
        // The large meshes take long enough that one round is steady.
        if (!measure(side, side <= 2000 ? rounds : 1, folder.path.string(), all.back()))
            return 1;
    }
    printTable(all);
    printGoals(all);
    return 0;
}
