#include "grid_file.h"
#include "tests/support/vyx_writer.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace
{
// count * size as the signed 32-bit size field of a block holds it, with its
// 16 header bytes; false when it does not fit.
bool blockSize(uint64_t count, uint64_t size, int32_t& out)
{
    uint64_t bytes = 0;
    if (__builtin_mul_overflow(count, size, &bytes) || __builtin_add_overflow(bytes, uint64_t(16), &bytes) ||
        bytes > uint64_t(INT32_MAX) || count > uint64_t(INT32_MAX))
        return false;
    out = int32_t(bytes);
    return true;
}

struct Writer
{
    FILE* file;
    bool ok = true;

    void header(int32_t tag, uint64_t count, uint64_t size)
    {
        int32_t bytes = 0;
        ok = ok && blockSize(count, size, bytes);
        Bytes block;
        appendVyxHeader(block, tag, bytes, int32_t(count));
        put(block.data(), block.size());
    }
    void put(const void* data, size_t bytes) { ok = ok && fwrite(data, 1, bytes, file) == bytes; }
};
}

bool writeGridFile(const std::string& path, uint32_t columns, uint32_t rows, GridCounts& counts)
{
    counts.vertices = uint64_t(columns + 1) * (rows + 1);
    counts.faces = uint64_t(columns) * rows;
    counts.uvPairs = counts.vertices;
    counts.arrayBytes = counts.vertices * (12 + 4) + counts.faces * (16 + 32);
    std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(path.c_str(), "wb"), fclose);
    if (!file)
        return false;
    Writer out{file.get()};
    Bytes start = vyxFileHeader();
    out.put(start.data(), start.size());

    out.header(10001, counts.vertices, 12);
    for (uint32_t y = 0; y <= rows; y++)
    {
        std::vector<float> row;
        for (uint32_t x = 0; x <= columns; x++)
            row.insert(row.end(), {float(x), float(y), 0.0f});
        out.put(row.data(), row.size() * sizeof(float));
    }
    out.header(20001, counts.faces, 16);
    for (uint32_t y = 0; y < rows; y++)
    {
        std::vector<int32_t> row;
        for (uint32_t x = 0; x < columns; x++)
        {
            int32_t corner = int32_t(y * (columns + 1) + x);
            int32_t next = corner + int32_t(columns) + 1;
            row.insert(row.end(), {corner, corner + 1, next + 1, next});
        }
        out.put(row.data(), row.size() * sizeof(int32_t));
    }
    out.header(25001, counts.faces, 32);
    for (uint32_t y = 0; y < rows; y++)
    {
        std::vector<float> row;
        float v0 = float(y) / float(rows), v1 = float(y + 1) / float(rows);
        for (uint32_t x = 0; x < columns; x++)
        {
            float u0 = float(x) / float(columns), u1 = float(x + 1) / float(columns);
            row.insert(row.end(), {u0, v0, u1, v0, u1, v1, u0, v1});
        }
        out.put(row.data(), row.size() * sizeof(float));
    }
    out.header(35001, counts.vertices, 4);
    for (uint32_t y = 0; y <= rows; y++)
    {
        std::vector<uint32_t> row;
        for (uint32_t x = 0; x <= columns; x++)
            row.push_back((x & 0xFF) << 16 | (y & 0xFF) << 8);
        out.put(row.data(), row.size() * sizeof(uint32_t));
    }
    Bytes end;
    appendVyxEnd(end);
    out.put(end.data(), end.size());
    return out.ok && fclose(file.release()) == 0;
}
