#include "tests/support/temp_folder.h"
#include "vyx/vyx.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

// A square of two triangles, as quads with a negative fourth index or as
// triangles, with UVs of either layout and a colour per vertex.
VyxMeshData square(bool triangles)
{
    VyxMeshData mesh;
    mesh.vertices = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    mesh.vertexColors = {1, 2, 3, 4};
    if (triangles)
    {
        mesh.faceTag = 20003;
        mesh.faces = {0, 1, 2, 0, 2, 3};
        mesh.uvTag = 25002;
        mesh.faceUVs = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    }
    else
    {
        mesh.faces = {0, 1, 2, -1, 0, 2, 3, -7};
        mesh.faceUVs = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    }
    return mesh;
}

struct VyxMeshCheck : testing::Test
{
    TempFolder folder;
    Vyx_Mesh mesh;

    void read(const VyxMeshData& data)
    {
        ASSERT_TRUE(mesh.readMesh(folder.file("mesh.vyx", vyxMeshFile(data)).c_str()));
    }
};

TEST_F(VyxMeshCheck, TrianglesGetTheFourPerFaceLayout)
{
    read(square(true));
    ASSERT_TRUE(prepareVyxMeshForExport(mesh, VyxUseVertexColors));
    EXPECT_EQ(mesh.faceKind, 20001);
    EXPECT_EQ(mesh.uvKind, 25001);
    EXPECT_EQ(std::vector<int32_t>(mesh.faces.get(), mesh.faces.get() + mesh.faces.length),
              (std::vector<int32_t>{0, 1, 2, -1, 0, 2, 3, -1}));
    VyxMeshData quads = square(false);
    std::vector<float> uvs;
    for (uint32_t i = 0; i < mesh.faceUVs.length; i++)
        uvs.push_back(mesh.faceUV(i));
    EXPECT_EQ(uvs, quads.faceUVs);
    EXPECT_TRUE(checkVyxMesh(mesh, VyxUseVertexColors));

    // Four-per-face meshes are left as they are.
    read(quads);
    ASSERT_TRUE(prepareVyxMeshForExport(mesh, VyxUseVertexColors));
    EXPECT_EQ(mesh.faces[7], -7);
    EXPECT_EQ(mesh.faces.length, 8u);
}

TEST_F(VyxMeshCheck, RefusesIndicesThatNameNoVertex)
{
    for (bool triangles : {false, true})
    {
        size_t corners = triangles ? 3 : 4;
        for (size_t corner = 0; corner < corners; corner++)
        {
            for (int32_t index : {-1, 4, INT32_MAX, INT32_MIN})
            {
                VyxMeshData data = square(triangles);
                data.faces[corners + corner] = index;
                read(data);
                bool triangleMarker = !triangles && corner == 3 && index < 0;
                EXPECT_EQ(checkVyxMesh(mesh, VyxUseGeometry), triangleMarker)
                    << triangles << " " << corner << " " << index;
            }
        }
    }
}

TEST_F(VyxMeshCheck, RefusesArraysShorterThanTheirCounts)
{
    for (bool triangles : {false, true})
    {
        VyxMeshData data = square(triangles);
        data.faceUVs.resize(data.faceUVs.size() / 2);
        read(data);
        EXPECT_FALSE(checkVyxMesh(mesh, VyxUseGeometry)) << "UVs for one face of two";
        EXPECT_FALSE(prepareVyxMeshForExport(mesh, VyxUseGeometry));
    }

    // Only the exporter that reads colours needs one per vertex.
    VyxMeshData data = square(false);
    data.vertexColors.pop_back();
    read(data);
    EXPECT_FALSE(checkVyxMesh(mesh, VyxUseVertexColors));
    EXPECT_TRUE(checkVyxMesh(mesh, VyxUseGeometry));

    // A mesh without faces, UVs or colours has nothing to be short of.
    data = VyxMeshData{};
    data.vertices = {1, 2, 3};
    read(data);
    EXPECT_TRUE(checkVyxMesh(mesh, VyxUseVertexColors));

    // Counts set by hand are held against the arrays as they are.
    mesh.vertexCount = 2;
    EXPECT_FALSE(checkVyxMesh(mesh, VyxUseGeometry));
    mesh.vertexCount = 1;
    mesh.faceCount = 1;
    mesh.faceKind = 20001;
    EXPECT_FALSE(checkVyxMesh(mesh, VyxUseGeometry)) << "a face count with no face array";
}

} // namespace
