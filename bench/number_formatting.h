// The numbers of a mesh's Collada geometry formatted into memory, without the
// document around them: positions and colour channels as %g, the pooled
// texture coordinates as %f, and the polygon list's vertex, UV and colour
// indices as integers, each followed by a blank. The bytes gather in a block
// of 1 MB, as the export's stream gathers them, so that no page is mapped
// while formatting.
#pragma once

#include "exportparts/uv_pool.h"
#include "vyx/vyx.h"

#include <cstdint>

// The mesh's UVs are pooled (poolCornerUVs, the document's order) into uvs.
// Answers the bytes formatted.
uint64_t formatNumbersBySnprintf(const Vyx_Mesh& mesh, const PooledUVs& uvs);
uint64_t formatNumbersByToChars(const Vyx_Mesh& mesh, const PooledUVs& uvs);
