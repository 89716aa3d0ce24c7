// The meshes both export benchmarks export: one mesh of 1 million quads, and
// 20 meshes of 50 000 quads, written as Vyx files into a folder, with the
// mesh list the export commands take.
#pragma once

#include "vyx/vyx.h"

#include <string>
#include <vector>

struct MeshSet
{
    std::string label;
    std::vector<std::string> names;
    std::string list; // the folder, then the names, each ended by a NUL
};

// Quad grids with UVs, and vertex colours when asked for.
std::vector<MeshSet> writeBothMeshSets(const std::string& folder, bool colors);

// Reads the set's meshes as the exports do; false when one does not read.
bool readMeshSet(const MeshSet& set, uint32_t uses, std::vector<Vyx_Mesh>& meshes);
