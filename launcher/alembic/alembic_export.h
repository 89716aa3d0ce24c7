// Alembic export: the meshes of a list written into one Ogawa archive, each
// as /NAME/NAME, a polygon mesh under a transform of the same name.
#pragma once

#include "exportparts/uv_pool.h"

#include <Alembic/Abc/OArchive.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Vyx_Mesh;

// A mesh's faces in the archive's order: each polygon's corners reversed, a
// triangle's fourth index left out, packed from the start of the mesh's face
// array, which they take over so that nothing as large is copied.
struct PackedFaces
{
    LargeArray<int32_t> indices;
    size_t corners = 0;
    LargeVector<int32_t> counts; // corners per face, 3 or 4
};

// A mesh made ready for the archive: its faces packed and, when it has UVs,
// its UVs pooled in the same corner order. The mesh keeps only its
// positions.
struct AlembicMesh
{
    PackedFaces faces;
    PooledUVs uvs; // no indices when the mesh has no UVs
};
void prepareAlembicMesh(Vyx_Mesh& mesh, AlembicMesh& prepared);

// Writes one prepared mesh under the archive's top: the sample set twice.
// Apart from the export so that the library's share of its time can be
// measured alone. The library's exceptions pass to the caller.
void writeAlembicMesh(Alembic::Abc::OArchive& archive, const std::string& name, const Vyx_Mesh& mesh,
                      const AlembicMesh& prepared);

// Writes the archive: 0, -1 when a mesh cannot be read or written or the
// archive not finished, -3 when the archive cannot be created at outputPath
// or outputPath is one of the meshes. After a failure a file that was at
// outputPath is as it was, and where there was none there is none.
float addMeshes(const char* outputPath, const char* list, int32_t listSize);
// Writes an empty archive "happy.abc" in the current folder, in the same
// way; answers 3.
float testAlembic();
