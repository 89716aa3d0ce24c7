// The Collada export command against three baselines measured in the same
// run: formatting the document's numbers into memory with snprintf and with
// std::to_chars, and assimp's Collada exporter given the same meshes already
// in memory. Goals: the whole command, reading and writing included, within
// 0.5x the time std::to_chars takes to format its numbers, at least 1000 MB/s
// of document, and at least 3x faster than assimp. The Vyx files are read from the page
// cache.
#include "assimp_collada.h"
#include "collada/collada.h"
#include "mesh_sets.h"
#include "number_formatting.h"
#include "rounds.h"
#include "tests/support/temp_folder.h"

#include <cstdio>
#include <filesystem>

namespace
{
struct Figures
{
    std::vector<double> command;
    std::vector<double> bySnprintf;
    std::vector<double> byToChars;
    std::vector<double> assimp;
    uint64_t documentBytes = 0;
    uint64_t formattedBytes = 0;
};

// What the baselines start from: the meshes read, their UVs pooled.
struct Prepared
{
    std::vector<Vyx_Mesh> meshes;
    std::vector<PooledUVs> uvs;
    std::unique_ptr<aiScene> scene;
};

bool prepare(const MeshSet& set, Prepared& prepared)
{
    if (!readMeshSet(set, VyxUseVertexColors, prepared.meshes))
        return false;
    // assimp's scene takes the UVs before the pooling replaces them.
    prepared.scene = assimpScene(set.names, prepared.meshes);
    for (Vyx_Mesh& mesh : prepared.meshes)
        prepared.uvs.push_back(poolCornerUVs(mesh, CornerOrder::Stored));
    return true;
}

bool measureRound(const MeshSet& set, const Prepared& prepared, const std::string& folder, Figures& figures)
{
    // Each export writes a new file: freeing the pages of the one written in
    // the round before is no part of an export.
    std::string document = folder + "/command.dae";
    std::string assimpDocument = folder + "/assimp.dae";
    std::filesystem::remove(document);
    std::filesystem::remove(assimpDocument);
    double start = secondsNow();
    if (exportCollada(document.c_str(), set.list.data(), int32_t(set.list.size())) != 0)
        return false;
    figures.command.push_back(secondsNow() - start);
    figures.documentBytes = std::filesystem::file_size(document);

    start = secondsNow();
    uint64_t snprintfBytes = 0;
    for (size_t i = 0; i < prepared.meshes.size(); i++)
        snprintfBytes += formatNumbersBySnprintf(prepared.meshes[i], prepared.uvs[i]);
    figures.bySnprintf.push_back(secondsNow() - start);

    start = secondsNow();
    uint64_t toCharsBytes = 0;
    for (size_t i = 0; i < prepared.meshes.size(); i++)
        toCharsBytes += formatNumbersByToChars(prepared.meshes[i], prepared.uvs[i]);
    figures.byToChars.push_back(secondsNow() - start);
    // The two write the same texts, so the same number of bytes.
    if (snprintfBytes != toCharsBytes)
        return false;
    figures.formattedBytes = toCharsBytes;

    start = secondsNow();
    if (!exportWithAssimp(*prepared.scene, assimpDocument))
        return false;
    figures.assimp.push_back(secondsNow() - start);
    return true;
}

void report(const MeshSet& set, const Figures& figures)
{
    double command = median(figures.command);
    double bySnprintf = median(figures.bySnprintf);
    double byToChars = median(figures.byToChars);
    double assimp = median(figures.assimp);
    printf("collada: %s, median of %zu rounds\n", set.label.c_str(), figures.command.size());
    printf("  command (exportCollada)      %7.3f s  %6.0f MB/s  (document %.0f MB)\n", command,
           double(figures.documentBytes) / 1e6 / command, double(figures.documentBytes) / 1e6);
    printf("  numbers by snprintf          %7.3f s  %6.0f MB/s  (numbers %.0f MB)\n", bySnprintf,
           double(figures.formattedBytes) / 1e6 / bySnprintf, double(figures.formattedBytes) / 1e6);
    printf("  numbers by std::to_chars     %7.3f s  %6.0f MB/s\n", byToChars,
           double(figures.formattedBytes) / 1e6 / byToChars);
    printf("  assimp Collada export        %7.3f s\n", assimp);
    double rate = double(figures.documentBytes) / 1e6 / command;
    printf("  command / to_chars  %5.2f  (goal: at most 0.50)  %s\n", command / byToChars,
           command <= 0.5 * byToChars ? "met" : "MISSED");
    printf("  document MB/s       %5.0f  (goal: at least 1000)  %s\n", rate, rate >= 1000 ? "met" : "MISSED");
    printf("  assimp / command    %5.2f  (goal: at least 3.00)  %s\n", assimp / command,
           assimp >= 3 * command ? "met" : "MISSED");
    printf("  snprintf / command  %5.2f\n", bySnprintf / command);
}
}

int main(int argc, char** argv)
{
    int rounds = roundsArgument(argc, argv);
    TempFolder folder;
    std::string path = folder.path.string();
    for (const MeshSet& set : writeBothMeshSets(path, true))
    {
        // Reading the meshes here also brings their files into the page cache.
        Prepared prepared;
        if (!prepare(set, prepared))
        {
            fprintf(stderr, "collada: the benchmark's meshes do not read\n");
            return 1;
        }
        Figures figures;
        for (int round = 0; round < rounds; round++)
        {
            if (!measureRound(set, prepared, path, figures))
            {
                fprintf(stderr, "collada: an export or a formatting failed\n");
                return 1;
            }
        }
        report(set, figures);
    }
    return 0;
}
