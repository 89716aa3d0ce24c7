#include "collada.h"
#include "vyx.h"

#include <bit>
#include <map>

namespace
{
// The six-decimal text of a float as an exact integer key: value * 10^6
// rounded to nearest, ties to even, as printf rounds. A value that rounds to zero
// keeps its sign, since -0.000000 and 0.000000 are different texts. NaN, the
// infinities and magnitudes from 2^33 on have no such key and are pooled by
// their texts.
constexpr int64_t kNegativeZero = INT64_MIN;

bool fixedKey(float value, int64_t& key)
{
    uint32_t bits = std::bit_cast<uint32_t>(value);
    uint32_t biased = (bits >> 23) & 0xFF;
    if (biased >= 127 + 33)
        return false;
    uint32_t mantissa = biased ? (bits & 0x7FFFFF) | 0x800000 : bits & 0x7FFFFF;
    uint64_t q = roundedMillionths(mantissa, biased ? int32_t(biased) - 150 : -149);
    key = (bits >> 31) ? (q ? -int64_t(q) : kNegativeZero) : int64_t(q);
    return true;
}

struct Probe
{
    int64_t u;
    int64_t v;
    uint64_t hash;
};

// False, with the probe unfinished, when the pair has no exact key.
bool makeProbe(float u, float v, Probe& probe)
{
    if (!fixedKey(u, probe.u) || !fixedKey(v, probe.v))
        return false;
    probe.hash = ((uint64_t(probe.u) * 0x9E3779B97F4A7C15ull) ^ uint64_t(probe.v)) * 0xC2B2AE3D27D4EB4Full;
    return true;
}

std::string textKey(float u, float v)
{
    std::string key;
    appendFixed(key, u);
    key += ' ';
    appendFixed(key, v);
    return key;
}

// Open addressing over the exactly keyed pairs, doubled when half full. A
// slot is 32 bits: 0 when empty, else three bits of the hash above the index
// of its pair in the values plus one. The keys are not kept: a pair with the
// same tag is compared by its stored floats, bit for bit first, which keeps
// the table a quarter of what storing the keys would take. A mesh has fewer
// than 2^28 corners, so an index and its one fit in the 29 bits left.
constexpr uint32_t kIndexBits = 29;
constexpr uint32_t kIndexMask = (uint32_t(1) << kIndexBits) - 1;

// The pairs met lately, by their bits: meshes list neighbouring faces
// together, so most corners repeat a pair met a few faces before, and are
// found here, in a few kilobytes that stay in the cache, without their keys
// being made or the table searched. Pairs of equal bits have equal texts.
constexpr size_t kRecentBits = 12;

struct RecentPair
{
    uint64_t bits = 0;
    uint32_t index = UINT32_MAX; // UINT32_MAX: empty
};

uint64_t pairBits(float u, float v)
{
    return uint64_t(std::bit_cast<uint32_t>(u)) | uint64_t(std::bit_cast<uint32_t>(v)) << 32;
}

size_t recentSlot(uint64_t bits)
{
    return size_t((bits * 0x9E3779B97F4A7C15ull) >> (64 - kRecentBits));
}

// The table starts with room for one pair per face, as many as a mesh
// without seams has, so that most meshes never wait for it to grow.
struct Pooler
{
    Pooler(std::vector<float>& values, size_t faceCount) : values(values)
    {
        while ((size_t(1) << (64 - shift)) < 2 * faceCount)
            shift--;
        slots.assign(size_t(1) << (64 - shift), 0);
    }

    std::vector<float>& values;
    std::vector<uint32_t> slots;
    int32_t shift = 64 - 10; // a hash's slot is its top bits
    size_t filled = 0;
    std::map<std::string, uint32_t> textKeys;
    std::vector<RecentPair> recent = std::vector<RecentPair>(size_t(1) << kRecentBits);
};

uint32_t tagOf(uint64_t hash)
{
    return uint32_t(hash >> 29) & 7;
}

bool sameKeys(const Probe& probe, float u, float v, float storedU, float storedV)
{
    if (std::bit_cast<uint32_t>(u) == std::bit_cast<uint32_t>(storedU) &&
        std::bit_cast<uint32_t>(v) == std::bit_cast<uint32_t>(storedV))
        return true;
    int64_t keyU = 0;
    int64_t keyV = 0;
    return fixedKey(storedU, keyU) && fixedKey(storedV, keyV) && keyU == probe.u && keyV == probe.v;
}

// The pairs are placed anew from the values, read in order rather than
// through the old slots at random.
void grow(Pooler& pooler)
{
    std::vector<uint32_t>(pooler.slots.size() * 2, 0).swap(pooler.slots);
    pooler.shift--;
    size_t mask = pooler.slots.size() - 1;
    for (size_t index = 0; index < pooler.values.size() / 2; index++)
    {
        Probe probe;
        if (!makeProbe(pooler.values[2 * index], pooler.values[2 * index + 1], probe))
            continue;
        size_t i = probe.hash >> pooler.shift;
        while (pooler.slots[i] != 0)
            i = (i + 1) & mask;
        pooler.slots[i] = tagOf(probe.hash) << kIndexBits | uint32_t(index + 1);
    }
}

uint32_t append(Pooler& pooler, float u, float v)
{
    uint32_t index = uint32_t(pooler.values.size() / 2);
    pooler.values.push_back(u);
    pooler.values.push_back(v);
    return index;
}

uint32_t poolExact(Pooler& pooler, const Probe& probe, float u, float v)
{
    if ((pooler.filled + 1) * 2 > pooler.slots.size())
        grow(pooler);
    size_t mask = pooler.slots.size() - 1;
    uint32_t tag = tagOf(probe.hash);
    for (size_t i = probe.hash >> pooler.shift;; i = (i + 1) & mask)
    {
        uint32_t slot = pooler.slots[i];
        if (slot == 0)
        {
            uint32_t index = append(pooler, u, v);
            pooler.slots[i] = tag << kIndexBits | (index + 1);
            pooler.filled++;
            return index;
        }
        uint32_t index = (slot & kIndexMask) - 1;
        if (slot >> kIndexBits == tag && sameKeys(probe, u, v, pooler.values[2 * index], pooler.values[2 * index + 1]))
            return index;
    }
}

uint32_t poolByText(Pooler& pooler, float u, float v)
{
    auto [entry, added] = pooler.textKeys.emplace(textKey(u, v), uint32_t(pooler.values.size() / 2));
    if (added)
        append(pooler, u, v);
    return entry->second;
}

// Eight faces at a time: the pairs not met lately have their keys made first
// and their slots fetched together, so that the table's cache misses
// overlap; the pairs are then pooled one by one, in order.
constexpr size_t kBatchFaces = 8;
constexpr size_t kBatchPairs = 4 * kBatchFaces;

void poolBatch(Pooler& pooler, const float* pairs, size_t count, uint32_t* indices)
{
    enum Way : uint8_t
    {
        Recent,
        Exact,
        Text
    };
    Probe probes[kBatchPairs];
    Way ways[kBatchPairs];
    for (size_t i = 0; i < count; i++)
    {
        uint64_t bits = pairBits(pairs[2 * i], pairs[2 * i + 1]);
        const RecentPair& recent = pooler.recent[recentSlot(bits)];
        if (recent.index != UINT32_MAX && recent.bits == bits)
        {
            indices[i] = recent.index;
            ways[i] = Recent;
        }
        else if (makeProbe(pairs[2 * i], pairs[2 * i + 1], probes[i]))
        {
            __builtin_prefetch(&pooler.slots[probes[i].hash >> pooler.shift]);
            ways[i] = Exact;
        }
        else
            ways[i] = Text;
    }
    for (size_t i = 0; i < count; i++)
    {
        if (ways[i] == Recent)
            continue;
        float u = pairs[2 * i];
        float v = pairs[2 * i + 1];
        indices[i] = ways[i] == Exact ? poolExact(pooler, probes[i], u, v) : poolByText(pooler, u, v);
        pooler.recent[recentSlot(pairBits(u, v))] = RecentPair{pairBits(u, v), indices[i]};
    }
}

// The corners of face f in the order's sequence; answers how many.
size_t faceCorners(const Vyx_Mesh& mesh, size_t f, CornerOrder order, size_t corners[4])
{
    if (order == CornerOrder::Stored)
    {
        for (size_t c = 0; c < 4; c++)
            corners[c] = c;
        return 4;
    }
    size_t count = mesh.faces[4 * f + 3] < 0 ? 3 : 4;
    for (size_t c = 0; c < count; c++)
        corners[c] = count - 1 - c;
    return count;
}

size_t cornerCount(const Vyx_Mesh& mesh, CornerOrder order)
{
    size_t faceCount = size_t(std::max(mesh.faceCount, 0));
    if (order == CornerOrder::Stored)
        return 4 * faceCount;
    size_t count = 0;
    for (size_t f = 0; f < faceCount; f++)
        count += mesh.faces[4 * f + 3] < 0 ? 3 : 4;
    return count;
}
}

size_t poolCornerUVs(Vyx_Mesh& mesh, CornerOrder order, std::vector<float>& values)
{
    size_t faceCount = size_t(std::max(mesh.faceCount, 0));
    size_t corners = cornerCount(mesh, order);
    values.clear();
    // Room for every corner to be distinct; only the pages used are touched.
    values.reserve(2 * corners);
    Pooler pooler(values, faceCount);
    float* uvs = mesh.faceUVs.get();
    size_t written = 0;
    for (size_t first = 0; first < faceCount; first += kBatchFaces)
    {
        // The batch's pairs are copied out before any index is written: the
        // indices land at or before the batch's own UVs, never on a later one.
        float pairs[2 * kBatchPairs];
        size_t count = 0;
        for (size_t f = first; f < std::min(faceCount, first + kBatchFaces); f++)
        {
            size_t order4[4];
            size_t n = faceCorners(mesh, f, order, order4);
            for (size_t c = 0; c < n; c++)
            {
                pairs[2 * count] = uvs[8 * f + 2 * order4[c]];
                pairs[2 * count + 1] = uvs[8 * f + 2 * order4[c] + 1];
                count++;
            }
        }
        uint32_t indices[kBatchPairs];
        poolBatch(pooler, pairs, count, indices);
        for (size_t i = 0; i < count; i++)
            uvs[written + i] = std::bit_cast<float>(indices[i]);
        written += count;
    }
    return written;
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
            float u = mesh.faceUVs[8 * f + 2 * corners[c]];
            float v = mesh.faceUVs[8 * f + 2 * corners[c] + 1];
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
