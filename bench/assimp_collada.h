// The baseline of the Collada benchmark: assimp's Collada exporter, given the
// same meshes already in memory.
#pragma once

#include "vyx/vyx.h"

#include <assimp/scene.h>

#include <memory>
#include <string>
#include <vector>

// The meshes as an assimp scene, one node each: the same positions, the faces
// as polygons, and per vertex its colour and the UV of a corner at it. assimp
// keeps one UV per vertex; in the benchmark's grids every corner at a vertex
// has the same UV, so the scene holds the same meshes.
std::unique_ptr<aiScene> assimpScene(const std::vector<std::string>& names, const std::vector<Vyx_Mesh>& meshes);

// Writes the scene as a Collada document; false when assimp reports a failure.
bool exportWithAssimp(const aiScene& scene, const std::string& path);
