// The Alembic export command against its floor, measured in the same run:
// reading the Vyx files plus the Alembic library's own writing of the
// prepared samples, the two parts no export can leave out. Preparing the
// meshes (faces reversed and UVs pooled, in place) is shown beside them.
// Also the fast pooling against pooling keyed by the six-decimal texts in a
// std::map, in rounds of its own. Goals: the command within 1.5x its floor,
// and the fast pooling at least 8x faster than the text-keyed one, with
// identical indices. The Vyx files are read from the page cache.
#include "alembic/alembic_export.h"
#include "exportparts/uv_pool.h"
#include "tests/support/text_uv_pool.h"
#include "mesh_sets.h"
#include "rounds.h"
#include "tests/support/temp_folder.h"

#include <Alembic/AbcCoreOgawa/All.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace
{
struct Figures
{
    std::vector<double> command;
    std::vector<double> reading;
    std::vector<double> preparing;
    std::vector<double> writing;
    std::vector<double> textPooling;
};

// The pooling keyed by texts against the fast one, both in the archive's
// corner order; the values compared bit for bit, since -0 and 0 are
// different texts.
bool samePool(const PooledUVs& pooled, const std::vector<float>& values, const std::vector<uint32_t>& indices)
{
    if (indices.size() != pooled.corners || values.size() != pooled.values.size() ||
        memcmp(values.data(), pooled.values.data(), values.size() * sizeof(float)) != 0)
        return false;
    return std::equal(indices.begin(), indices.end(), pooled.indices.get());
}

bool measureRound(const MeshSet& set, const std::string& folder, Figures& figures)
{
    // Each archive is a new file: freeing the pages of the one written in the
    // round before is no part of an export.
    std::string archive = folder + "/command.abc";
    std::string partsArchive = folder + "/parts.abc";
    std::filesystem::remove(archive);
    std::filesystem::remove(partsArchive);
    double start = secondsNow();
    if (addMeshes(archive.c_str(), set.list.data(), int32_t(set.list.size())) != 0)
        return false;
    figures.command.push_back(secondsNow() - start);

    start = secondsNow();
    std::vector<Vyx_Mesh> meshes;
    if (!readMeshSet(set, VyxUseGeometry, meshes))
        return false;
    figures.reading.push_back(secondsNow() - start);

    std::vector<AlembicMesh> prepared(meshes.size());
    start = secondsNow();
    for (size_t i = 0; i < meshes.size(); i++)
        prepareAlembicMesh(meshes[i], prepared[i]);
    figures.preparing.push_back(secondsNow() - start);

    start = secondsNow();
    try
    {
        Alembic::Abc::OArchive out(Alembic::AbcCoreOgawa::WriteArchive(), partsArchive);
        for (size_t i = 0; i < meshes.size(); i++)
            writeAlembicMesh(out, set.names[i], meshes[i], prepared[i]);
    }
    catch (...)
    {
        return false;
    }
    figures.writing.push_back(secondsNow() - start);
    // The command writes what the parts write.
    return std::filesystem::file_size(archive) == std::filesystem::file_size(partsArchive);
}

// The text-keyed pooling, in rounds of its own after the others: whatever
// follows its million small allocations and their release runs markedly
// slower. Its indices and values are checked against the preparing's.
bool measureTextPooling(const MeshSet& set, Figures& figures)
{
    std::vector<Vyx_Mesh> meshes, unpooled;
    if (!readMeshSet(set, VyxUseGeometry, meshes) || !readMeshSet(set, VyxUseGeometry, unpooled))
        return false;
    std::vector<AlembicMesh> prepared(meshes.size());
    for (size_t i = 0; i < meshes.size(); i++)
        prepareAlembicMesh(meshes[i], prepared[i]);
    std::vector<std::vector<float>> textValues(meshes.size());
    std::vector<std::vector<uint32_t>> textIndices(meshes.size());
    double start = secondsNow();
    for (size_t i = 0; i < meshes.size(); i++)
        poolCornerUVsByText(unpooled[i], CornerOrder::Reversed, textValues[i], textIndices[i]);
    figures.textPooling.push_back(secondsNow() - start);
    for (size_t i = 0; i < meshes.size(); i++)
        if (!samePool(prepared[i].uvs, textValues[i], textIndices[i]))
        {
            fprintf(stderr, "alembic: the two poolings differ for %s\n", set.names[i].c_str());
            return false;
        }
    return true;
}

void report(const MeshSet& set, const Figures& figures)
{
    double command = median(figures.command);
    double reading = median(figures.reading);
    double preparing = median(figures.preparing);
    double writing = median(figures.writing);
    double textPooling = median(figures.textPooling);
    printf("alembic: %s, median of %zu rounds\n", set.label.c_str(), figures.command.size());
    printf("  command (addMeshes)                 %7.3f s\n", command);
    printf("  reading (readMesh, prepare)         %7.3f s\n", reading);
    printf("  preparing (faces, pooling in place) %7.3f s\n", preparing);
    printf("  library writing both samples        %7.3f s\n", writing);
    printf("  text-keyed pooling (std::map)       %7.3f s  (same indices and values)\n", textPooling);
    double floor = reading + writing;
    printf("  floor (reading + library writing)   %7.3f s\n", floor);
    printf("  command / floor             %6.2f  (goal: at most 1.50)  %s;  command / library writing %.2f\n",
           command / floor, command <= 1.5 * floor ? "met" : "MISSED", command / writing);
    printf("  text pooling / preparing    %6.2f  (goal: at least 8.00)  %s\n", textPooling / preparing,
           textPooling >= 8 * preparing ? "met" : "MISSED");
}
}

int main(int argc, char** argv)
{
    int rounds = roundsArgument(argc, argv);
    TempFolder folder;
    std::string path = folder.path.string();
    for (const MeshSet& set : writeBothMeshSets(path, false))
    {
        // Reading the meshes here brings their files into the page cache.
        std::vector<Vyx_Mesh> meshes;
        if (!readMeshSet(set, VyxUseGeometry, meshes))
        {
            fprintf(stderr, "alembic: the benchmark's meshes do not read\n");
            return 1;
        }
        meshes.clear();
        Figures figures;
        for (int round = 0; round < rounds; round++)
        {
            if (!measureRound(set, path, figures))
            {
                fprintf(stderr, "alembic: an export or one of its parts failed\n");
                return 1;
            }
        }
        for (int round = 0; round < rounds; round++)
        {
            if (!measureTextPooling(set, figures))
            {
                fprintf(stderr, "alembic: the text-keyed pooling failed or differs\n");
                return 1;
            }
        }
        report(set, figures);
    }
    return 0;
}
