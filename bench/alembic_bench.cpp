// The Alembic export command against its parts measured alone in the same
// run: reading the Vyx files, pooling the corner UVs, and the Alembic library
// writing the prepared samples; and the fast pooling against pooling keyed by
// the six-decimal texts in a std::map. Goals: the command within 1.3x the sum
// of its parts, and the fast pooling at least 8x faster than the text-keyed
// one, with identical indices. The Vyx files are read from the page cache.
#include "alembic_export.h"
#include "collada.h"
#include "mesh_sets.h"
#include "rounds.h"
#include "temp_folder.h"

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
    std::vector<double> pooling;
    std::vector<double> writing;
    std::vector<double> textPooling;
};

// What the parts after reading start from: the meshes read, their corners in
// the archive's order and their UVs pooled.
struct Prepared
{
    std::vector<Vyx_Mesh> meshes;
    std::vector<AlembicFaces> faces;
    std::vector<UVPool> pools;
};

bool prepare(const MeshSet& set, Prepared& prepared)
{
    if (!readMeshSet(set, VyxUseGeometry, prepared.meshes))
        return false;
    for (const Vyx_Mesh& mesh : prepared.meshes)
    {
        prepared.faces.emplace_back();
        convertFaces(mesh, prepared.faces.back());
        prepared.pools.emplace_back();
        poolUVPairs(prepared.faces.back().uvPairs.data(), prepared.faces.back().uvPairs.size() / 2,
                    prepared.pools.back());
    }
    return true;
}

bool samePools(const UVPool& a, const UVPool& b)
{
    // The values compared bit for bit: -0 and 0 are different texts.
    return a.indices == b.indices && a.values.size() == b.values.size() &&
           memcmp(a.values.data(), b.values.data(), a.values.size() * sizeof(float)) == 0;
}

bool measureRound(const MeshSet& set, const Prepared& prepared, const std::string& folder, Figures& figures)
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
    meshes.clear();
    figures.reading.push_back(secondsNow() - start);

    start = secondsNow();
    for (const AlembicFaces& faces : prepared.faces)
    {
        UVPool pool;
        poolUVPairs(faces.uvPairs.data(), faces.uvPairs.size() / 2, pool);
    }
    figures.pooling.push_back(secondsNow() - start);

    start = secondsNow();
    try
    {
        Alembic::Abc::OArchive out(Alembic::AbcCoreOgawa::WriteArchive(), partsArchive);
        for (size_t i = 0; i < prepared.meshes.size(); i++)
            writeAlembicMesh(out, set.names[i], prepared.meshes[i], prepared.faces[i], prepared.pools[i]);
    }
    catch (...)
    {
        return false;
    }
    figures.writing.push_back(secondsNow() - start);

    std::vector<UVPool> byText(prepared.faces.size());
    start = secondsNow();
    for (size_t i = 0; i < prepared.faces.size(); i++)
        poolUVPairsByText(prepared.faces[i].uvPairs.data(), prepared.faces[i].uvPairs.size() / 2, byText[i]);
    figures.textPooling.push_back(secondsNow() - start);
    for (size_t i = 0; i < byText.size(); i++)
        if (!samePools(byText[i], prepared.pools[i]))
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
    double pooling = median(figures.pooling);
    double writing = median(figures.writing);
    double textPooling = median(figures.textPooling);
    double parts = reading + pooling + writing;
    printf("alembic: %s, median of %zu rounds\n", set.label.c_str(), figures.command.size());
    printf("  command (addMeshes)              %7.3f s\n", command);
    printf("  reading (readMesh, prepare)      %7.3f s\n", reading);
    printf("  pooling (poolUVPairs)            %7.3f s\n", pooling);
    printf("  library writing both samples     %7.3f s\n", writing);
    printf("  sum of the parts                 %7.3f s\n", parts);
    printf("  text-keyed pooling (std::map)    %7.3f s  (same indices and values)\n", textPooling);
    printf("  command / parts             %6.2f  (goal: at most 1.30)  %s\n", command / parts,
           command <= 1.3 * parts ? "met" : "MISSED");
    printf("  text pooling / pooling      %6.2f  (goal: at least 8.00)  %s\n", textPooling / pooling,
           textPooling >= 8 * pooling ? "met" : "MISSED");
}
}

int main(int argc, char** argv)
{
    int rounds = roundsArgument(argc, argv);
    TempFolder folder;
    std::string path = folder.path.string();
    for (const MeshSet& set : writeBothMeshSets(path, false))
    {
        // Reading the meshes here also brings their files into the page cache.
        Prepared prepared;
        if (!prepare(set, prepared))
        {
            fprintf(stderr, "alembic: the benchmark's meshes do not read\n");
            return 1;
        }
        Figures figures;
        for (int round = 0; round < rounds; round++)
        {
            if (!measureRound(set, prepared, path, figures))
            {
                fprintf(stderr, "alembic: an export or one of its parts failed\n");
                return 1;
            }
        }
        report(set, figures);
    }
    return 0;
}
