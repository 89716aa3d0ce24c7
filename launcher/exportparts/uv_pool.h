// The texture-coordinate pool both exports build from a mesh's corners.
#pragma once

#include "platform/memory.h"

#include <cstddef>
#include <cstdint>

class Vyx_Mesh;

// Texture coordinates pooled by their six-decimal texts: two pairs share an
// index exactly when both texts are equal. Both exporters pool through it,
// each visiting the face corners in its own order.
enum class CornerOrder
{
    Stored,   // the document's: each face's four corners as stored, a triangle's unused fourth included
    Reversed, // the archive's: each polygon's corners reversed, a triangle's fourth left out
};
// A mesh's texture coordinates pooled: the distinct pairs, u then v, in
// order of first appearance, and each corner's index among them.
struct PooledUVs
{
    LargeVector<float> values;
    // One per corner visited, in the order's sequence: the words of the
    // mesh's UV block, which the indices take over as the UVs are read, so
    // that no index array half their size is needed.
    LargeArray<uint32_t> indices;
    size_t corners = 0;
};
// Pools the UVs of the mesh's face corners, taking its UV block over: the
// mesh has no UVs afterwards.
PooledUVs poolCornerUVs(Vyx_Mesh& mesh, CornerOrder order);
