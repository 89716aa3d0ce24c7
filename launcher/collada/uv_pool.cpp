#include "collada.h"

#include <cmath>
#include <map>

namespace
{
// The six-decimal text of a float, as an exact integer key: x * 1e6 is exact
// in double precision (24 + 20 bits), and rounding it to the nearest integer,
// ties to even, rounds as printf does. A value that rounds to zero keeps its
// sign, since -0.000000 and 0.000000 are different texts. NaN, infinities and
// magnitudes from 1e12 on have no such key and are pooled by their texts.
constexpr int64_t kNegativeZero = INT64_MIN + 1;

bool fixedKey(float value, int64_t& key)
{
    double scaled = double(value) * 1e6;
    if (!(std::fabs(scaled) < 1e18))
        return false;
    key = int64_t(std::nearbyint(scaled));
    if (key == 0 && std::signbit(value))
        key = kNegativeZero;
    return true;
}

struct Slot
{
    int64_t u;
    int64_t v;
    uint32_t index; // UINT32_MAX: empty
};

// Open addressing over the exact integer keys, doubled when half full.
struct KeyTable
{
    std::vector<Slot> slots;
    size_t used = 0;

    static size_t hash(int64_t u, int64_t v)
    {
        uint64_t h = uint64_t(u) * 0x9E3779B97F4A7C15ull ^ (uint64_t(v) + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
        return size_t(h ^ (h >> 29));
    }

    void grow()
    {
        std::vector<Slot> old(std::max<size_t>(slots.size() * 2, 1024), Slot{0, 0, UINT32_MAX});
        old.swap(slots);
        for (const Slot& slot : old)
            if (slot.index != UINT32_MAX)
                *find(slot.u, slot.v) = slot;
    }

    Slot* find(int64_t u, int64_t v)
    {
        size_t mask = slots.size() - 1;
        for (size_t i = hash(u, v) & mask;; i = (i + 1) & mask)
            if (slots[i].index == UINT32_MAX || (slots[i].u == u && slots[i].v == v))
                return &slots[i];
    }

    // The index stored for the key, or next after storing it.
    uint32_t insert(int64_t u, int64_t v, uint32_t next)
    {
        if ((used + 1) * 2 > slots.size())
            grow();
        Slot* slot = find(u, v);
        if (slot->index == UINT32_MAX)
        {
            *slot = Slot{u, v, next};
            used++;
        }
        return slot->index;
    }
};

std::string textKey(float u, float v)
{
    std::string key;
    appendFixed(key, u);
    key += ' ';
    appendFixed(key, v);
    return key;
}
}

void poolUVPairs(const float* pairs, size_t count, UVPool& pool)
{
    pool.values.clear();
    pool.indices.clear();
    pool.indices.reserve(count);
    KeyTable table;
    std::map<std::string, uint32_t> textKeys;
    for (size_t pair = 0; pair < count; pair++)
    {
        float u = pairs[2 * pair];
        float v = pairs[2 * pair + 1];
        uint32_t next = uint32_t(pool.values.size() / 2);
        int64_t ku, kv;
        uint32_t index;
        if (fixedKey(u, ku) && fixedKey(v, kv))
            index = table.insert(ku, kv, next);
        else
            index = textKeys.emplace(textKey(u, v), next).first->second;
        if (index == next)
        {
            pool.values.push_back(u);
            pool.values.push_back(v);
        }
        pool.indices.push_back(index);
    }
}

void poolUVPairsByText(const float* pairs, size_t count, UVPool& pool)
{
    pool.values.clear();
    pool.indices.clear();
    std::map<std::string, uint32_t> keys;
    for (size_t pair = 0; pair < count; pair++)
    {
        float u = pairs[2 * pair];
        float v = pairs[2 * pair + 1];
        uint32_t next = uint32_t(pool.values.size() / 2);
        uint32_t index = keys.emplace(textKey(u, v), next).first->second;
        if (index == next)
        {
            pool.values.push_back(u);
            pool.values.push_back(v);
        }
        pool.indices.push_back(index);
    }
}
