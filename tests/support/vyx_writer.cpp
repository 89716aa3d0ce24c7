#include "vyx_writer.h"

#include <cstring>
#include <fstream>

Bytes vyxFileHeader(const char magic[4])
{
    Bytes file(32, 0);
    memcpy(file.data(), magic, 4);
    return file;
}

static void appendInt(Bytes& file, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        file.push_back(uint8_t(value >> shift));
}

void appendVyxHeader(Bytes& file, int32_t tag, int32_t size, int32_t count, uint32_t param)
{
    appendInt(file, uint32_t(tag));
    appendInt(file, uint32_t(size));
    appendInt(file, uint32_t(count));
    appendInt(file, param);
}

void appendVyxBlock(Bytes& file, int32_t tag, int32_t count, const void* payload, size_t bytes, uint32_t param)
{
    appendVyxHeader(file, tag, int32_t(16 + bytes), count, param);
    const uint8_t* data = static_cast<const uint8_t*>(payload);
    file.insert(file.end(), data, data + bytes);
}

void appendVyxEnd(Bytes& file)
{
    appendVyxHeader(file, 0, 16, 0);
}

template <typename T>
static void appendArray(Bytes& file, int32_t tag, const std::vector<T>& items, size_t perItem)
{
    if (!items.empty())
        appendVyxBlock(file, tag, int32_t(items.size() / perItem), items.data(), items.size() * sizeof(T));
}

Bytes vyxMeshFile(const VyxMeshData& mesh)
{
    Bytes file = vyxFileHeader();
    appendArray(file, 10001, mesh.vertices, 3);
    appendArray(file, mesh.faceTag, mesh.faces, mesh.faceTag == 20003 ? 3 : 4);
    appendArray(file, mesh.uvTag, mesh.faceUVs, mesh.uvTag == 25002 ? 6 : 8);
    appendArray(file, 35001, mesh.vertexColors, 1);
    appendVyxEnd(file);
    return file;
}

VyxMeshData vyxQuadGrid(int32_t columns, int32_t rows)
{
    VyxMeshData mesh;
    size_t vertexCount = size_t(columns + 1) * size_t(rows + 1);
    size_t faceCount = size_t(columns) * size_t(rows);
    mesh.vertices.reserve(3 * vertexCount);
    mesh.vertexColors.reserve(vertexCount);
    for (int32_t y = 0; y <= rows; y++)
    {
        for (int32_t x = 0; x <= columns; x++)
        {
            mesh.vertices.insert(mesh.vertices.end(), {float(x), float(y), 0.0f});
            mesh.vertexColors.push_back(uint32_t(x & 0xFF) << 16 | uint32_t(y & 0xFF) << 8);
        }
    }
    mesh.faces.reserve(4 * faceCount);
    mesh.faceUVs.reserve(8 * faceCount);
    for (int32_t y = 0; y < rows; y++)
    {
        for (int32_t x = 0; x < columns; x++)
        {
            int32_t corner = y * (columns + 1) + x;
            mesh.faces.insert(mesh.faces.end(), {corner, corner + 1, corner + columns + 2, corner + columns + 1});
            float u0 = float(x) / float(columns), u1 = float(x + 1) / float(columns);
            float v0 = float(y) / float(rows), v1 = float(y + 1) / float(rows);
            mesh.faceUVs.insert(mesh.faceUVs.end(), {u0, v0, u1, v0, u1, v1, u0, v1});
        }
    }
    return mesh;
}

bool writeBytes(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}
