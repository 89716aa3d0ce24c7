#include "number_formatting.h"

#include <charconv>
#include <cstdio>
#include <memory>

namespace
{
constexpr size_t kBlock = size_t(1) << 20;
// Room for any number formatted from a float or an index, with its blank.
constexpr size_t kRoom = 64;

struct Block
{
    std::unique_ptr<char[]> bytes{new char[kBlock]()};
    size_t used = 0;
    uint64_t total = 0;

    char* room()
    {
        if (used + kRoom > kBlock)
        {
            total += used;
            used = 0;
        }
        return bytes.get() + used;
    }
    void wrote(char* end)
    {
        *end = ' ';
        used = size_t(end + 1 - bytes.get());
    }
};

struct BySnprintf
{
    static char* general(char* at, double value) { return at + snprintf(at, kRoom, "%g", value); }
    static char* fixed(char* at, double value) { return at + snprintf(at, kRoom, "%f", value); }
    static char* integer(char* at, int64_t value) { return at + snprintf(at, kRoom, "%lld", (long long)value); }
};

struct ByToChars
{
    static char* general(char* at, double value)
    {
        return std::to_chars(at, at + kRoom, value, std::chars_format::general, 6).ptr;
    }
    static char* fixed(char* at, double value)
    {
        return std::to_chars(at, at + kRoom, value, std::chars_format::fixed, 6).ptr;
    }
    static char* integer(char* at, int64_t value) { return std::to_chars(at, at + kRoom, value).ptr; }
};

// In the document's order: positions, UVs, colours, then the polygon list.
template <typename Format>
uint64_t formatNumbers(const Vyx_Mesh& mesh, const PooledUVs& uvs)
{
    Block block;
    size_t vertexCount = size_t(std::max(mesh.vertexCount, 0));
    size_t faceCount = size_t(std::max(mesh.faceCount, 0));
    for (size_t i = 0; i < vertexCount * 3; i++)
        block.wrote(Format::general(block.room(), mesh.vertices[i]));
    for (float value : uvs.values)
        block.wrote(Format::fixed(block.room(), value));
    for (size_t i = 0; mesh.vertexColors && i < vertexCount; i++)
        for (int shift = 16; shift >= 0; shift -= 8)
            block.wrote(Format::general(block.room(), double((mesh.vertexColors[i] >> shift) & 0xFF) / 255.0));
    for (size_t f = 0; f < faceCount; f++)
    {
        const int32_t* corners = &mesh.faces[4 * f];
        size_t n = corners[3] < 0 ? 3 : 4;
        for (size_t c = 0; c < n; c++)
        {
            block.wrote(Format::integer(block.room(), corners[c]));
            if (uvs.indices)
                block.wrote(Format::integer(block.room(), uvs.indices[4 * f + c]));
            if (mesh.vertexColors)
                block.wrote(Format::integer(block.room(), corners[c]));
        }
    }
    return block.total + block.used;
}
}

uint64_t formatNumbersBySnprintf(const Vyx_Mesh& mesh, const PooledUVs& uvs)
{
    return formatNumbers<BySnprintf>(mesh, uvs);
}

uint64_t formatNumbersByToChars(const Vyx_Mesh& mesh, const PooledUVs& uvs)
{
    return formatNumbers<ByToChars>(mesh, uvs);
}
