#include "uv_pool.h"
#include "number_format.h"
#include "vyx/vyx.h"

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

inline __attribute__((always_inline)) bool fixedKey(float value, int64_t& key)
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

// The pairs met lately at each vertex: corners that share a vertex mostly
// share its pair too, and neighbouring faces list nearby vertices, so most
// corners find their pair here, in a table indexed by the vertex's low bits
// that stays in the processor's cache, without their keys being made or the
// pool searched. Pairs of equal bits have equal texts, whichever vertex left
// them.
constexpr size_t kRecentBits = 14;
constexpr size_t kRecentMask = (size_t(1) << kRecentBits) - 1;
// Neither a pool index nor a waiting mark.
constexpr uint32_t kEmpty = (uint32_t(1) << 31) - 1;

struct RecentPair
{
    uint64_t bits = 0;
    uint32_t index = kEmpty;
};

uint64_t pairBits(uint32_t u, uint32_t v)
{
    return uint64_t(u) | uint64_t(v) << 32;
}

// A corner whose pair is not found there waits with others for the pool:
// their slots are fetched as they come, so that the table's cache misses
// overlap, and the queue is pooled in order once full. Until then the
// corner's index, and the recent entry it leaves, hold kWaiting and its
// place in the queue; no pool index reaches that bit.
constexpr uint32_t kWaiting = uint32_t(1) << 31;
constexpr size_t kQueueLength = 64; // a power of two

struct WaitingPair
{
    uint64_t bits;
    Probe probe;
    bool exact; // false: pooled by its text
    int32_t vertex;
};

// Open addressing over the exactly keyed pairs, doubled when half full. A
// slot is 32 bits: 0 when empty, else the index of its pair in the values
// plus one, in as few bits as the mesh's corners need, under a tag of hash
// bits in the rest. The keys are not kept: a pair with the same tag is
// compared by its stored floats, bit for bit first, which keeps the table a
// quarter of what storing the keys would take; the wider the tag, the fewer
// of those comparisons, each a cache miss. A mesh has fewer than 2^29
// corners, so an index and its one fit in 29 bits. The table starts with room
// for one pair per face, as many as a mesh without seams has, so that most
// meshes never wait for it to grow.
struct Pooler
{
    Pooler(LargeVector<float>& values, size_t faceCount, size_t corners) : values(values)
    {
        indexBits = std::max(1u, uint32_t(std::bit_width(corners)));
        while ((size_t(1) << (64 - shift)) < 2 * faceCount)
            shift--;
        slots = LargeVector<uint32_t>(size_t(1) << (64 - shift), 0);
    }

    LargeVector<float>& values;
    LargeVector<uint32_t> slots;
    int32_t shift = 64 - 10; // a hash's slot is its top bits
    uint32_t indexBits = 1;
    size_t filled = 0;
    std::map<std::string, uint32_t> textKeys;
    std::vector<RecentPair> recent = std::vector<RecentPair>(size_t(1) << kRecentBits);
    WaitingPair queue[kQueueLength];
    size_t queued = 0;
    size_t firstWaiting = 0; // the first corner that may hold a waiting mark
};

RecentPair& recentAt(Pooler& pooler, int32_t vertex)
{
    return pooler.recent[size_t(uint32_t(vertex)) & kRecentMask];
}

uint32_t tagOf(const Pooler& pooler, uint64_t hash)
{
    return uint32_t(hash) >> pooler.indexBits;
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
    pooler.slots = LargeVector<uint32_t>(pooler.slots.size() * 2, 0);
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
        pooler.slots[i] = tagOf(pooler, probe.hash) << pooler.indexBits | uint32_t(index + 1);
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
    uint32_t tag = tagOf(pooler, probe.hash);
    uint32_t indexMask = (uint32_t(1) << pooler.indexBits) - 1;
    for (size_t i = probe.hash >> pooler.shift;; i = (i + 1) & mask)
    {
        uint32_t slot = pooler.slots[i];
        if (slot == 0)
        {
            uint32_t index = append(pooler, u, v);
            pooler.slots[i] = tag << pooler.indexBits | (index + 1);
            pooler.filled++;
            return index;
        }
        uint32_t index = (slot & indexMask) - 1;
        if (slot >> pooler.indexBits == tag && sameKeys(probe, u, v, pooler.values[2 * index], pooler.values[2 * index + 1]))
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

// Pools the waiting pairs in order, then gives their indices to the corners
// and recent entries that hold their marks: every mark in the recent table
// was left by a waiting pair, at its own vertex's entry.
void poolQueue(Pooler& pooler, uint32_t* pooled, size_t cornersDone)
{
    uint32_t indices[kQueueLength] = {};
    for (size_t i = 0; i < pooler.queued; i++)
    {
        const WaitingPair& pair = pooler.queue[i];
        float u = std::bit_cast<float>(uint32_t(pair.bits));
        float v = std::bit_cast<float>(uint32_t(pair.bits >> 32));
        indices[i] = pair.exact ? poolExact(pooler, pair.probe, u, v) : poolByText(pooler, u, v);
    }
    // Without a branch: which corners wait follows no pattern a processor
    // could predict. A corner that holds an index reads some entry of the
    // queue's and keeps its own.
    for (size_t corner = pooler.firstWaiting; corner < cornersDone; corner++)
    {
        uint32_t index = pooled[corner];
        uint32_t waiting = uint32_t(0) - (index >> 31);
        pooled[corner] = (indices[index & (kQueueLength - 1)] & waiting) | (index & ~waiting);
    }
    for (size_t i = 0; i < pooler.queued; i++)
    {
        RecentPair& recent = recentAt(pooler, pooler.queue[i].vertex);
        if (recent.index & kWaiting)
            recent.index = indices[recent.index & ~kWaiting];
    }
    pooler.queued = 0;
    pooler.firstWaiting = cornersDone;
}

// A corner whose pair its vertex's recent entry does not hold joins the
// queue.
void queueCorner(Pooler& pooler, uint32_t* pooled, size_t corner, RecentPair& recent, int32_t vertex, uint64_t bits)
{
    if (pooler.queued == kQueueLength)
        poolQueue(pooler, pooled, corner);
    WaitingPair& pair = pooler.queue[pooler.queued];
    pair.bits = bits;
    pair.vertex = vertex;
    pair.exact = makeProbe(std::bit_cast<float>(uint32_t(bits)), std::bit_cast<float>(uint32_t(bits >> 32)),
                           pair.probe);
    if (pair.exact)
        __builtin_prefetch(&pooler.slots[pair.probe.hash >> pooler.shift]);
    uint32_t mark = kWaiting | uint32_t(pooler.queued++);
    recent = RecentPair{bits, mark};
    pooled[corner] = mark;
}

// The pair of the corner-th corner visited, at a vertex, read before the
// pooling wrote anything over it.
inline void poolCorner(Pooler& pooler, uint32_t* pooled, size_t corner, int32_t vertex, uint64_t bits)
{
    RecentPair& recent = recentAt(pooler, vertex);
    if (recent.bits == bits && recent.index != kEmpty)
        pooled[corner] = recent.index;
    else
        queueCorner(pooler, pooled, corner, recent, vertex, bits);
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

PooledUVs poolCornerUVs(Vyx_Mesh& mesh, CornerOrder order)
{
    size_t faceCount = size_t(std::max(mesh.faceCount, 0));
    PooledUVs pooled;
    // Room for every corner to be distinct; only the pages used are touched.
    size_t corners = cornerCount(mesh, order);
    pooled.values.reserve(2 * corners);
    Pooler pooler(pooled.values, faceCount, corners);
    pooled.indices = mesh.faceUVs.release();
    uint32_t* uvs = pooled.indices.get();
    const int32_t* faces = mesh.faces.get();
    size_t written = 0;
    for (size_t f = 0; f < faceCount; f++)
    {
        // A face's pairs are read before any index is written: the indices
        // land at or before the face's own UVs, never on a later face's.
        const uint32_t* pairs = uvs + 8 * f;
        uint64_t bits[4];
        for (size_t c = 0; c < 4; c++)
            bits[c] = pairBits(pairs[2 * c], pairs[2 * c + 1]);
        size_t visit[4];
        size_t n = faceCorners(mesh, f, order, visit);
        for (size_t i = 0; i < n; i++)
            poolCorner(pooler, uvs, written++, faces[4 * f + visit[i]], bits[visit[i]]);
    }
    poolQueue(pooler, uvs, written);
    pooled.corners = written;
    return pooled;
}
