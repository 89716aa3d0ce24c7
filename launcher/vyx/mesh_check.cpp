#include "vyx.h"
#include "platform/memory.h"

#include <bit>

// Entries an array holds; a null array holds none whatever its length says.
template <typename T>
static uint64_t held(const VyxArray<T>& array)
{
    return array ? array.length : 0;
}

static bool indicesInRange(const Vyx_Mesh& mesh, uint64_t perFace)
{
    for (uint64_t face = 0; face < uint64_t(mesh.faceCount); face++)
    {
        const int32_t* corners = &mesh.faces[face * perFace];
        for (uint64_t corner = 0; corner < perFace; corner++)
        {
            // A negative fourth index marks a triangle.
            if (corner == 3 && corners[corner] < 0)
                continue;
            if (corners[corner] < 0 || corners[corner] >= mesh.vertexCount)
                return false;
        }
    }
    return true;
}

// Whether none of the floats (or their bits) is NaN or an infinity, whose
// exponent bits are all set: readers refuse a document that holds "nan" or
// "inf". Blocks of a fixed length without an early exit are what compilers
// turn into vector code at every optimisation level: a large mesh costs a
// pass at memory speed.
template <typename T>
static bool allFinite(const T* values, uint64_t count)
{
    constexpr uint32_t kExponent = 0x7F800000;
    constexpr uint64_t kBlock = 64;
    auto nonFinite = [](T value) { return uint32_t((std::bit_cast<uint32_t>(value) & kExponent) == kExponent); };
    uint32_t found = 0;
    uint64_t i = 0;
    for (; i + kBlock <= count; i += kBlock)
        for (uint64_t j = 0; j < kBlock; j++)
            found |= nonFinite(values[i + j]);
    for (; i < count; i++)
        found |= nonFinite(values[i]);
    return found == 0;
}

// The numbers the exports write: every vertex's position, and the texture
// coordinates of each corner of a face (a triangle's fourth pair is none).
static bool numbersFinite(const Vyx_Mesh& mesh)
{
    if (!allFinite(mesh.vertices.get(), 3 * uint64_t(mesh.vertexCount)))
        return false;
    uint64_t faceCount = uint64_t(mesh.faceCount);
    uint32_t perFace = mesh.uvFloatsPerFace;
    // Nearly every mesh passes the whole array at once; only one that does
    // not is looked at face by face.
    if (!mesh.faceUVs || allFinite(mesh.faceUVs.get(), perFace * faceCount))
        return true;
    if (perFace == 6)
        return false;
    for (uint64_t face = 0; face < faceCount; face++)
    {
        bool quad = mesh.indicesPerFace == 4 && mesh.faces[4 * face + 3] >= 0;
        if (!allFinite(&mesh.faceUVs[8 * face], quad ? 8 : 6))
            return false;
    }
    return true;
}

bool checkVyxMesh(const Vyx_Mesh& mesh, uint32_t uses)
{
    if (mesh.vertexCount < 0 || mesh.faceCount < 0)
        return false;
    uint64_t vertexCount = uint64_t(mesh.vertexCount);
    uint64_t faceCount = uint64_t(mesh.faceCount);
    if (held(mesh.vertices) < 3 * vertexCount)
        return false;
    // The arrays are read by the layout they were stored in, whatever kind a
    // later empty block recorded.
    uint64_t indicesPerFace = mesh.indicesPerFace;
    if (faceCount > 0 && indicesPerFace != 3 && indicesPerFace != 4)
        return false;
    if (held(mesh.faces) < indicesPerFace * faceCount)
        return false;
    if (mesh.faceUVs)
    {
        uint64_t floatsPerFace = mesh.uvFloatsPerFace;
        if ((floatsPerFace != 6 && floatsPerFace != 8) || mesh.faceUVs.length < floatsPerFace * faceCount)
            return false;
    }
    if ((uses & VyxUseVertexColors) && mesh.vertexColors && mesh.vertexColors.length < vertexCount)
        return false;
    return indicesInRange(mesh, indicesPerFace) && numbersFinite(mesh);
}

// Rewrites an array of groups of `from` entries as groups of `to`, each group
// padded with fill. The whole array is converted, not only faceCount groups,
// so that nothing read from the file is dropped.
template <typename T>
static bool widenGroups(VyxArray<T>& array, uint32_t from, uint32_t to, T fill)
{
    if (!array)
        return true;
    uint64_t groups = array.length / from;
    LargeArray<T> wide = newLargeArray<T>(groups * to);
    if (!wide)
        return false;
    for (uint64_t group = 0; group < groups; group++)
    {
        for (uint32_t i = 0; i < from; i++)
            wide[group * to + i] = array[group * from + i];
        for (uint32_t i = from; i < to; i++)
            wide[group * to + i] = fill;
    }
    array.reset(std::move(wide), uint32_t(groups * to));
    return true;
}

bool prepareVyxMeshForExport(Vyx_Mesh& mesh, uint32_t uses)
{
    if (!checkVyxMesh(mesh, uses))
        return false;
    if (mesh.indicesPerFace == 3)
    {
        if (!widenGroups(mesh.faces, 3, 4, int32_t(-1)))
            return false;
        mesh.indicesPerFace = 4;
    }
    if (mesh.faceKind == 20003)
        mesh.faceKind = 20001;
    if (mesh.uvFloatsPerFace == 6)
    {
        if (!widenGroups(mesh.faceUVs, 6, 8, std::bit_cast<uint32_t>(0.0f)))
            return false;
        mesh.uvFloatsPerFace = 8;
    }
    if (mesh.uvKind == 25002)
        mesh.uvKind = 25001;
    // The colours go before the export needs memory of its own when this
    // exporter does not read them.
    if (!(uses & VyxUseVertexColors))
        mesh.vertexColors.reset();
    return true;
}
