#include "tests/support/temp_folder.h"
#include "vyx/vyx.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

struct VyxMesh : testing::Test
{
    TempFolder folder;
    Vyx_Mesh mesh;

    bool read(const Bytes& bytes) { return mesh.readMesh(folder.file("mesh.vyx", bytes).c_str()); }
};

const float triangleVertices[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
const int32_t oneTriangle[4] = {0, 1, 2, -1};

Bytes triangleFile(bool endMarker = true)
{
    Bytes file = vyxFileHeader();
    appendVyxBlock(file, 10001, 3, triangleVertices, sizeof triangleVertices);
    appendVyxBlock(file, 20001, 1, oneTriangle, sizeof oneTriangle);
    if (endMarker)
        appendVyxEnd(file);
    return file;
}

TEST_F(VyxMesh, ReadsAMeshUpToItsEndMarker)
{
    ASSERT_TRUE(read(triangleFile()));
    EXPECT_EQ(mesh.vertexCount, 3);
    EXPECT_EQ(mesh.faceCount, 1);
    EXPECT_EQ(mesh.faceKind, 20001);
    EXPECT_EQ(memcmp(mesh.vertices.get(), triangleVertices, sizeof triangleVertices), 0);
    EXPECT_EQ(memcmp(mesh.faces.get(), oneTriangle, sizeof oneTriangle), 0);
    EXPECT_EQ(mesh.faceUVs, nullptr);
    EXPECT_EQ(mesh.uvKind, 0);
    EXPECT_EQ(mesh.param55001, 1.0f);

    EXPECT_FALSE(read(triangleFile(false)));
}

TEST_F(VyxMesh, KeepsWhatTheExportsReadAndPassesOverTheRest)
{
    VyxMeshData grid = vyxQuadGrid(3, 2);
    Bytes file = vyxMeshFile(grid);
    file.resize(file.size() - 16); // the end marker goes after the extra blocks
    const uint8_t raw[6] = {1, 2, 3, 4, 5, 6};
    float param = 2.5f;
    uint32_t paramBits;
    memcpy(&paramBits, &param, sizeof param);
    appendVyxBlock(file, 30001, 6, raw, 6);
    appendVyxBlock(file, 10002, 1, raw, 6);
    appendVyxBlock(file, 5001, 0, raw, 4);
    appendVyxBlock(file, 40002, 6, raw, 6);
    appendVyxBlock(file, 55001, 0, raw, 5, paramBits);
    // Passed over as far as its items reach, beyond its two bytes of payload.
    appendVyxHeader(file, 30002, 18, 3);
    file.insert(file.end(), raw, raw + 6);
    appendVyxEnd(file);
    ASSERT_TRUE(read(file));

    EXPECT_EQ(mesh.vertexCount, 12);
    EXPECT_EQ(mesh.faceCount, 6);
    EXPECT_EQ(mesh.uvKind, 25001);
    EXPECT_EQ(memcmp(mesh.vertices.get(), grid.vertices.data(), grid.vertices.size() * 4), 0);
    EXPECT_EQ(memcmp(mesh.faces.get(), grid.faces.data(), grid.faces.size() * 4), 0);
    EXPECT_EQ(memcmp(mesh.faceUVs.get(), grid.faceUVs.data(), grid.faceUVs.size() * 4), 0);
    EXPECT_EQ(memcmp(mesh.vertexColors.get(), grid.vertexColors.data(), grid.vertexColors.size() * 4), 0);
    EXPECT_EQ(mesh.vertices.length, 36u);
    EXPECT_EQ(mesh.faces.length, 24u);
    EXPECT_EQ(mesh.faceUVs.length, 48u);
    EXPECT_EQ(mesh.vertexColors.length, 12u);
    EXPECT_EQ(mesh.value5001, 0x04030201u);
    EXPECT_EQ(mesh.param55001, 2.5f);
}

TEST_F(VyxMesh, LaterBlocksAndLaterFilesReplaceEarlierOnes)
{
    const float fourVertices[12] = {};
    Bytes file = vyxFileHeader();
    appendVyxBlock(file, 10001, 3, triangleVertices, sizeof triangleVertices);
    appendVyxBlock(file, 10001, 4, fourVertices, sizeof fourVertices);
    appendVyxEnd(file);
    ASSERT_TRUE(read(file));
    EXPECT_EQ(mesh.vertexCount, 4);
    EXPECT_EQ(mesh.vertices[0], 0.0f);
    EXPECT_EQ(mesh.vertices.length, 12u);

    // An empty block records its count but keeps the array read before it.
    file = triangleFile(false);
    appendVyxBlock(file, 10001, 0, nullptr, 0);
    appendVyxEnd(file);
    ASSERT_TRUE(read(file));
    EXPECT_EQ(mesh.vertexCount, 0);
    EXPECT_EQ(mesh.vertices.length, 9u);

    Bytes empty = vyxFileHeader();
    appendVyxEnd(empty);
    ASSERT_TRUE(read(empty));
    EXPECT_EQ(mesh.vertices, nullptr);
    EXPECT_EQ(mesh.faces, nullptr);
    EXPECT_EQ(mesh.faceCount, 0);
    EXPECT_EQ(mesh.faceKind, 0);
}

TEST_F(VyxMesh, RefusesMalformedBlocksBeforeAllocating)
{
    struct
    {
        int32_t tag, size, count;
    } cases[] = {
        {20001, 32, -1},             // negative count
        {77, 8, 0},                  // size below 16 would loop on the same header
        {1, INT32_MIN, 0},           // negative size
        {10001, 16, INT32_MAX / 4},  // byte count past 32 bits
        {10001, 17, 1000000},        // 12 MB claimed by a tiny file
        {45001, INT32_MAX, 0},       // payload past the end of the file
        {77, 1000, 0},               // even a skipped block must lie in the file
    };
    for (const auto& c : cases)
    {
        Bytes file = triangleFile(false);
        appendVyxHeader(file, c.tag, c.size, c.count);
        file.resize(file.size() + 16);
        appendVyxEnd(file);
        EXPECT_FALSE(read(file)) << c.tag << " " << c.size << " " << c.count;
        EXPECT_EQ(mesh.vertexCount, 3) << "blocks before the bad one were read";
    }
}

} // namespace
