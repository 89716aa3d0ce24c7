// Writes Vyx files for the tests and benchmarks; the libraries only read them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// The 32-byte file header: the magic followed by 28 zero bytes.
Bytes vyxFileHeader(const char magic[4] = "Vyxb");

// Appends a block header with every field as given, valid or not.
void appendVyxHeader(Bytes& file, int32_t tag, int32_t size, int32_t count, uint32_t param = 0);
// Appends a well-formed block: its size is 16 plus the payload.
void appendVyxBlock(Bytes& file, int32_t tag, int32_t count, const void* payload, size_t bytes,
                    uint32_t param = 0);
void appendVyxEnd(Bytes& file);

// A mesh to write; empty arrays are left out of the file.
struct VyxMeshData
{
    std::vector<float> vertices;  // x, y, z per vertex
    std::vector<int32_t> faces;   // four per face, or three for faceTag 20003
    int32_t faceTag = 20001;
    std::vector<float> faceUVs;   // eight per face, or six for uvTag 25002
    int32_t uvTag = 25001;
    std::vector<uint32_t> vertexColors;
};

// A complete file: the header, the mesh's blocks and the end marker.
Bytes vyxMeshFile(const VyxMeshData& mesh);
// A grid of quads, columns by rows, with UVs and colours.
VyxMeshData vyxQuadGrid(int32_t columns, int32_t rows);

bool writeBytes(const std::filesystem::path& path, const Bytes& bytes);
