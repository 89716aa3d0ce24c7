// Grid meshes of any size written straight to a Vyx file, block by block, so
// that the writer never holds the mesh: the same grid as vyxQuadGrid, with
// UVs and colours.
#pragma once

#include <cstdint>
#include <string>

struct GridCounts
{
    uint64_t vertices = 0;
    uint64_t faces = 0;
    uint64_t uvPairs = 0;    // distinct UV pairs: one per vertex
    uint64_t arrayBytes = 0; // the bytes of the arrays the reader allocates
};

// False when a block would not fit in a Vyx file or the file cannot be
// written; counts are filled in either way.
bool writeGridFile(const std::string& path, uint32_t columns, uint32_t rows, GridCounts& counts);
