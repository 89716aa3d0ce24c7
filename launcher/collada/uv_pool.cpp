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

uint64_t hashKeys(int64_t u, int64_t v)
{
    uint64_t h = uint64_t(u) * 0x9E3779B97F4A7C15ull ^ (uint64_t(v) + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
    return h ^ (h >> 29);
}

struct PairKey
{
    int64_t u = 0;
    int64_t v = 0;
    uint64_t hash = 0;
    bool exact = false; // false: the pair is pooled by its text
};

PairKey pairKey(float u, float v)
{
    PairKey key;
    key.exact = fixedKey(u, key.u) && fixedKey(v, key.v);
    if (key.exact)
        key.hash = hashKeys(key.u, key.v);
    return key;
}

// Open addressing over the exact keys, doubled when half full. A slot holds
// only the hash's top half and the number of its entry, which keeps the table
// small for the cache; the entries, in order of first appearance, hold the
// keys and the pooled index.
struct Slot
{
    uint32_t tag;
    uint32_t entry; // UINT32_MAX: empty
};

struct Entry
{
    int64_t u;
    int64_t v;
    uint32_t index;
};

struct KeyTable
{
    std::vector<Slot> slots;
    std::vector<Entry> entries;

    void prefetch(uint64_t hash) const
    {
        if (!slots.empty())
            __builtin_prefetch(&slots[hash & (slots.size() - 1)]);
    }

    // The slot of the keys, or the empty slot where they belong.
    Slot& find(uint64_t hash, int64_t u, int64_t v)
    {
        size_t mask = slots.size() - 1;
        uint32_t tag = uint32_t(hash >> 32);
        for (size_t i = hash & mask;; i = (i + 1) & mask)
        {
            Slot& slot = slots[i];
            if (slot.entry == UINT32_MAX ||
                (slot.tag == tag && entries[slot.entry].u == u && entries[slot.entry].v == v))
                return slot;
        }
    }

    void grow()
    {
        std::vector<Slot>(std::max<size_t>(slots.size() * 2, 1024), Slot{0, UINT32_MAX}).swap(slots);
        for (size_t e = 0; e < entries.size(); e++)
        {
            uint64_t hash = hashKeys(entries[e].u, entries[e].v);
            find(hash, entries[e].u, entries[e].v) = Slot{uint32_t(hash >> 32), uint32_t(e)};
        }
    }

    // The index stored for the keys, or next after storing it.
    uint32_t insert(const PairKey& key, uint32_t next)
    {
        if ((entries.size() + 1) * 2 > slots.size())
            grow();
        Slot& slot = find(key.hash, key.u, key.v);
        if (slot.entry == UINT32_MAX)
        {
            slot = Slot{uint32_t(key.hash >> 32), uint32_t(entries.size())};
            entries.push_back(Entry{key.u, key.v, next});
        }
        return entries[slot.entry].index;
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
    // The keys of a batch are made first and their slots fetched together, so
    // that the table's cache misses overlap; the pairs are then pooled one by
    // one, in order.
    constexpr size_t kBatch = 32;
    PairKey keys[kBatch];
    for (size_t first = 0; first < count; first += kBatch)
    {
        size_t batch = std::min(kBatch, count - first);
        for (size_t i = 0; i < batch; i++)
        {
            keys[i] = pairKey(pairs[2 * (first + i)], pairs[2 * (first + i) + 1]);
            if (keys[i].exact)
                table.prefetch(keys[i].hash);
        }
        for (size_t i = 0; i < batch; i++)
        {
            float u = pairs[2 * (first + i)];
            float v = pairs[2 * (first + i) + 1];
            uint32_t next = uint32_t(pool.values.size() / 2);
            uint32_t index =
                keys[i].exact ? table.insert(keys[i], next) : textKeys.emplace(textKey(u, v), next).first->second;
            if (index == next)
            {
                pool.values.push_back(u);
                pool.values.push_back(v);
            }
            pool.indices.push_back(index);
        }
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
