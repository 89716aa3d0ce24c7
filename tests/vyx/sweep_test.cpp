// Damaged files: every cut and every changed byte of a sample that holds each
// block kind must be refused or read cleanly, never read outside an array.
#include "tests/support/exporter_reads.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace
{

struct Sample
{
    Bytes bytes;
    std::vector<size_t> headers; // offset of each block header
};

void add(Sample& sample, int32_t tag, int32_t count, const void* payload, size_t bytes)
{
    sample.headers.push_back(sample.bytes.size());
    appendVyxBlock(sample.bytes, tag, count, payload, bytes);
}

Sample sample()
{
    const uint8_t raw[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const float vertices[12] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    const int32_t quads[8] = {0, 1, 2, 3, 2, 3, 0, -1};
    const int32_t triangles[6] = {0, 1, 2, 0, 2, 3};
    const float uvs[16] = {0, 0, 1, 0, 1, 1, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1};
    const uint32_t colors[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    Sample s{vyxFileHeader(), {}};
    add(s, 1, 0, raw, 3);
    add(s, 5001, 0, raw, 4);
    add(s, 10001, 4, vertices, sizeof vertices);
    add(s, 20001, 2, quads, sizeof quads);
    add(s, 20003, 2, triangles, sizeof triangles);
    add(s, 25001, 2, uvs, sizeof uvs);
    add(s, 25002, 2, uvs, 12 * sizeof(float));
    add(s, 30001, 4, raw, 4);
    add(s, 30002, 2, raw, 4);
    add(s, 35001, 4, colors, sizeof colors);
    add(s, 40001, 2, raw, 4);
    add(s, 40002, 3, raw, 3);
    add(s, 55001, 0, raw, 8);
    s.headers.push_back(s.bytes.size());
    appendVyxEnd(s.bytes);
    return s;
}

TEST(VyxSweep, SampleReadsAndExports)
{
    TempFolder folder;
    Vyx_Mesh mesh;
    ASSERT_EQ(readAndExport(mesh, folder.file("sample.vyx", sample().bytes).c_str()), ExportRead::WithinArrays);
    EXPECT_EQ(mesh.faceKind, 20001) << "the triangle block came last and was widened";
    EXPECT_EQ(mesh.uvKind, 25001);
}

TEST(VyxSweep, EveryCutIsRefused)
{
    TempFolder folder;
    Bytes bytes = sample().bytes;
    for (size_t length = 0; length < bytes.size(); length++)
    {
        Vyx_Mesh mesh;
        Bytes cut(bytes.begin(), bytes.begin() + ptrdiff_t(length));
        EXPECT_FALSE(mesh.readMesh(folder.file("cut.vyx", cut).c_str())) << length;
    }
}

TEST(VyxSweep, EveryChangedByteIsHandled)
{
    TempFolder folder;
    Sample s = sample();
    std::vector<std::pair<size_t, uint8_t>> changes;
    for (size_t at = 0; at < s.bytes.size(); at++)
        changes.emplace_back(at, uint8_t(s.bytes[at] ^ 0xFF));
    // Header fields get the values at the edges of their range, byte by byte.
    for (size_t header : s.headers)
        for (size_t at = header; at < header + 16; at++)
            for (uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF})
                changes.emplace_back(at, value);
    size_t exported = 0;
    for (auto [at, value] : changes)
    {
        Bytes changed = s.bytes;
        changed[at] = value;
        Vyx_Mesh mesh;
        ExportRead read = readAndExport(mesh, folder.file("changed.vyx", changed).c_str());
        EXPECT_NE(read, ExportRead::OutsideAnArray) << "byte " << at << " as " << int(value);
        exported += read == ExportRead::WithinArrays;
    }
    // A changed payload byte is mostly read as it is, a changed header mostly
    // refused: both outcomes are seen.
    EXPECT_GT(exported, 0u);
    EXPECT_LT(exported, changes.size());
}

} // namespace
