#include "text_uv_pool.h"

#include "exportparts/number_format.h"

#include <map>
#include <string>

namespace
{
std::string textKey(float u, float v)
{
    std::string key;
    appendFixed(key, u);
    key += ' ';
    appendFixed(key, v);
    return key;
}

// The corners of face f in the order's sequence; answers how many.
size_t faceCorners(const Vyx_Mesh& mesh, size_t f, CornerOrder order, size_t corners[4])
{
    size_t count = order == CornerOrder::Stored || mesh.faces[4 * f + 3] >= 0 ? 4 : 3;
    for (size_t c = 0; c < count; c++)
        corners[c] = order == CornerOrder::Stored ? c : count - 1 - c;
    return count;
}
}

void poolCornerUVsByText(const Vyx_Mesh& mesh, CornerOrder order, std::vector<float>& values,
                         std::vector<uint32_t>& indices)
{
    values.clear();
    indices.clear();
    std::map<std::string, uint32_t> keys;
    for (size_t f = 0; f < size_t(std::max(mesh.faceCount, 0)); f++)
    {
        size_t corners[4];
        size_t n = faceCorners(mesh, f, order, corners);
        for (size_t c = 0; c < n; c++)
        {
            float u = mesh.faceUV(8 * f + 2 * corners[c]);
            float v = mesh.faceUV(8 * f + 2 * corners[c] + 1);
            auto [entry, added] = keys.emplace(textKey(u, v), uint32_t(values.size() / 2));
            if (added)
            {
                values.push_back(u);
                values.push_back(v);
            }
            indices.push_back(entry->second);
        }
    }
}
