// The plain pooling of texture coordinates, keyed by their six-decimal texts,
// against which the tests and the benchmark hold the exports' fast one.
#pragma once

#include "exportparts/uv_pool.h"
#include "vyx/vyx.h"

#include <cstdint>
#include <vector>

// Pools the UVs of the mesh's face corners in the order's sequence, leaving
// the mesh as it is.
void poolCornerUVsByText(const Vyx_Mesh& mesh, CornerOrder order, std::vector<float>& values,
                         std::vector<uint32_t>& indices);
