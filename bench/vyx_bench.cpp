// Reading a Vyx mesh of 2 million quads with UVs and colours from the page
// cache, against plain fread of the same file into one newly allocated buffer.
// The goal is readMesh at no less than half the speed of fread. Both pay for
// mapping fresh pages, which at this size costs more than the copy itself; a
// reused buffer shows the copy alone.
#include "tests/support/temp_folder.h"
#include "vyx/vyx.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace
{

std::string g_path;
int64_t g_fileSize = 0;

void readMeshFile(benchmark::State& state)
{
    for (auto _ : state)
    {
        Vyx_Mesh mesh;
        if (!mesh.readMesh(g_path.c_str()))
            state.SkipWithError("readMesh failed");
        benchmark::DoNotOptimize(mesh.vertices.get());
    }
    state.SetBytesProcessed(state.iterations() * g_fileSize);
}

// The buffer is allocated for every read, as readMesh allocates its arrays.
void freadFile(benchmark::State& state)
{
    for (auto _ : state)
    {
        void* buffer = malloc(size_t(g_fileSize));
        FILE* file = fopen(g_path.c_str(), "rb");
        if (!buffer || !file || fread(buffer, 1, size_t(g_fileSize), file) != size_t(g_fileSize))
            state.SkipWithError("fread failed");
        if (file)
            fclose(file);
        benchmark::DoNotOptimize(buffer);
        free(buffer);
    }
    state.SetBytesProcessed(state.iterations() * g_fileSize);
}

// The same with one buffer for every read, its pages already mapped: the
// fastest a read of the file can be.
void freadFileReusedBuffer(benchmark::State& state)
{
    std::unique_ptr<char[]> buffer(new char[size_t(g_fileSize)]());
    for (auto _ : state)
    {
        FILE* file = fopen(g_path.c_str(), "rb");
        if (!file || fread(buffer.get(), 1, size_t(g_fileSize), file) != size_t(g_fileSize))
            state.SkipWithError("fread failed");
        if (file)
            fclose(file);
        benchmark::DoNotOptimize(buffer.get());
    }
    state.SetBytesProcessed(state.iterations() * g_fileSize);
}

BENCHMARK(freadFileReusedBuffer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(freadFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(readMeshFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// Prints the usual table, then the two speeds and their ratio on one line.
struct SideBySide : benchmark::ConsoleReporter
{
    std::map<std::string, double> megabytesPerSecond; // of 10^6 bytes

    SideBySide() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.counters.count("bytes_per_second"))
                megabytesPerSecond[run.run_name.function_name] = run.counters.at("bytes_per_second").value / 1e6;
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        double mesh = megabytesPerSecond["readMeshFile"];
        double plain = megabytesPerSecond["freadFile"];
        if (plain > 0)
            printf("vyx: readMesh %.0f MB/s, fread %.0f MB/s, ratio %.2f (goal: at least 0.50)\n", mesh, plain,
                   mesh / plain);
        printf("vyx: fread into a reused buffer, whose pages need no mapping: %.0f MB/s\n",
               megabytesPerSecond["freadFileReusedBuffer"]);
    }
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TempFolder folder;
    Bytes file = vyxMeshFile(vyxQuadGrid(2000, 1000));
    g_fileSize = int64_t(file.size());
    g_path = folder.file("grid.vyx", file);
    Bytes().swap(file);
    Vyx_Mesh warm; // brings the file into the page cache
    if (!warm.readMesh(g_path.c_str()))
    {
        fprintf(stderr, "vyx: the benchmark file does not read\n");
        return 1;
    }
    SideBySide reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
