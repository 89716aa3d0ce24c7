#include "mesh_sets.h"
#include "tests/support/vyx_writer.h"

// Every mesh of a set is the same grid, named the prefix and its number.
static MeshSet writeMeshSet(const std::string& folder, const std::string& label, const std::string& prefix,
                            size_t meshCount, int32_t columns, int32_t rows, bool colors)
{
    VyxMeshData grid = vyxQuadGrid(columns, rows);
    if (!colors)
        grid.vertexColors.clear();
    Bytes file = vyxMeshFile(grid);
    MeshSet set;
    set.label = label;
    set.list = folder + "/";
    set.list += '\0';
    for (size_t i = 0; i < meshCount; i++)
    {
        std::string name = prefix + std::to_string(i);
        writeBytes(folder + "/" + name + ".Vyx", file);
        set.names.push_back(name);
        set.list += name;
        set.list += '\0';
    }
    return set;
}

std::vector<MeshSet> writeBothMeshSets(const std::string& folder, bool colors)
{
    return {writeMeshSet(folder, "one mesh of 1000000 quads", "grid", 1, 1000, 1000, colors),
            writeMeshSet(folder, "20 meshes of 50000 quads", "part", 20, 250, 200, colors)};
}

bool readMeshSet(const MeshSet& set, uint32_t uses, std::vector<Vyx_Mesh>& meshes)
{
    meshes.clear();
    std::string folder = set.list.c_str();
    for (const std::string& name : set.names)
    {
        meshes.emplace_back();
        if (!meshes.back().readMesh((folder + name + ".Vyx").c_str()) || !prepareVyxMeshForExport(meshes.back(), uses))
            return false;
    }
    return true;
}
