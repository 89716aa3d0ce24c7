// Alembic export: the meshes of a list written into one Ogawa archive, each
// as /NAME/NAME, a polygon mesh under a transform of the same name.
#pragma once

#include <Alembic/Abc/OArchive.h>

#include <cstdint>
#include <string>
#include <vector>

class Vyx_Mesh;
struct UVPool;

// The face indices and counts of a mesh in the archive's corner order: each
// face's corners reversed, a triangle's fourth entry left out.
struct AlembicFaces
{
    std::vector<int32_t> indices;
    std::vector<int32_t> counts;
    std::vector<float> uvPairs; // u, v per corner in the same order, when the mesh has UVs
};
void convertFaces(const Vyx_Mesh& mesh, AlembicFaces& faces);

// Writes one mesh under the archive's top from its converted faces and, when
// it has UVs, their pool: the sample set twice. Apart from the export so that
// the library's share of its time can be measured alone. The library's
// exceptions pass to the caller.
void writeAlembicMesh(Alembic::Abc::OArchive& archive, const std::string& name, const Vyx_Mesh& mesh,
                      const AlembicFaces& faces, const UVPool& pool);

// Writes the archive: 0, -1 when a mesh cannot be read or written (the ones
// before it stay in the archive), -3 when the archive cannot be created.
float addMeshes(const char* outputPath, const char* list, int32_t listSize);
// Writes an empty archive "happy.abc" in the current folder; answers 3.
float testAlembic();
