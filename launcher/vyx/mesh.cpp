#include "vyx.h"

#include <cstring>
#include <new>

void Vyx_Mesh::clear()
{
    rawBlock1.reset();
    rawBlock2.reset();
    value5001 = 0;
    vertexCount = 0;
    vertices.reset();
    faceCount = 0;
    faceKind = 0;
    faces.reset();
    uvKind = 0;
    faceUVs.reset();
    data30002.reset();
    vertexColors.reset();
    data40001.reset();
    data40002.reset();
    rawBlock45001.reset();
    rawBlock50001.reset();
    rawBlock55001.reset();
    param55001 = 1.0f;
    indicesPerFace = 0;
    uvFloatsPerFace = 0;
}

bool Vyx_Mesh::readMesh(const char* path)
{
    clear();
    FILE* file = openVyxFile4Read(path);
    if (!file)
        return false;
    bool result = readBlocks(file);
    closeVyxFile(file);
    return result;
}

bool Vyx_Mesh::readBlocks(FILE* file)
{
    Vyx_Header header;
    while (readVyxBlocHeader(file, header))
    {
        if (header.tag == VyxTagEnd)
            return true;
        if (!readBlock(file, header))
            return false;
    }
    return false;
}

// Replaces field with a new array of the block's data and its length, left
// uninitialised since the read fills it whole; filled tells whether it did.
// A block with no data (no items, or no payload) leaves the field as it is
// and is passed over.
template <typename T>
static bool readArray(FILE* file, const Vyx_Header& header, uint32_t bytes, VyxArray<T>& field,
                      bool* filled = nullptr)
{
    if (bytes == 0 || header.size == 16)
        return skipVyxBloc(file, header);
    size_t entries = bytes / sizeof(T);
    T* array = new (std::nothrow) T[entries];
    if (!array)
        return false;
    field.reset(array, uint32_t(entries));
    if (filled)
        *filled = true;
    return readVyxBlocData(file, header, array, entries * sizeof(T));
}

// The same for an array no exporter reads, kept without its length.
template <typename T>
static bool readArray(FILE* file, const Vyx_Header& header, uint32_t bytes, std::unique_ptr<T[]>& field)
{
    VyxArray<T> array;
    bool read = readArray(file, header, bytes, array);
    if (array)
        field = array.release();
    return read;
}

// Checks a block before anything of it is recorded or read: a skipped block,
// or one with no data, by its size alone; any other by its data too.
static bool checkBlock(FILE* file, const Vyx_Header& header, uint32_t& dataBytes)
{
    const VyxBlockKind& kind = vyxBlockKind(header.tag);
    if (!kind.kept)
        return checkVyxSkip(file, header);
    if (!vyxBlocDataSize(header, dataBytes))
        return false;
    bool empty = kind.data != VyxData::Four && (dataBytes == 0 || header.size == 16);
    return empty ? checkVyxSkip(file, header) : checkVyxBloc(file, header, dataBytes);
}

// A face block, of four indices per face (20001, 20002) or three (20003).
static bool readFaces(Vyx_Mesh& mesh, FILE* file, const Vyx_Header& header, uint32_t dataBytes)
{
    mesh.faceCount = header.count;
    mesh.faceKind = header.tag;
    bool filled = false;
    if (!readArray(file, header, dataBytes, mesh.faces, &filled))
        return false;
    if (filled)
        mesh.indicesPerFace = header.tag == VyxTagTriangles ? 3 : 4;
    return true;
}

// A face UV block, of four u, v pairs per face (25001) or three (25002).
static bool readFaceUVs(Vyx_Mesh& mesh, FILE* file, const Vyx_Header& header, uint32_t dataBytes)
{
    mesh.uvKind = header.tag;
    bool filled = false;
    if (!readArray(file, header, dataBytes, mesh.faceUVs, &filled))
        return false;
    if (filled)
        mesh.uvFloatsPerFace = header.tag == VyxTagTriangleUVs ? 6 : 8;
    return true;
}

bool Vyx_Mesh::readBlock(FILE* file, const Vyx_Header& header)
{
    uint32_t dataBytes = 0;
    if (!checkBlock(file, header, dataBytes))
        return false;
    switch (header.tag)
    {
    case VyxTagRaw1:
        return readArray(file, header, dataBytes, rawBlock1);
    case VyxTagRaw2:
        return readArray(file, header, dataBytes, rawBlock2);
    case VyxTagValue5001:
        return readVyxBlocData(file, header, &value5001, sizeof value5001);
    case VyxTagVertices:
        vertexCount = header.count;
        return readArray(file, header, dataBytes, vertices);
    case VyxTagQuads:
    case VyxTagQuads20002:
    case VyxTagTriangles:
        return readFaces(*this, file, header, dataBytes);
    case VyxTagQuadUVs:
    case VyxTagTriangleUVs:
        return readFaceUVs(*this, file, header, dataBytes);
    case VyxTag30002:
        return readArray(file, header, dataBytes, data30002);
    case VyxTagVertexColors:
        return readArray(file, header, dataBytes, vertexColors);
    case VyxTag40001:
        return readArray(file, header, dataBytes, data40001);
    case VyxTag40002:
        return readArray(file, header, dataBytes, data40002);
    case VyxTagRaw45001:
        return readArray(file, header, dataBytes, rawBlock45001);
    case VyxTagRaw50001:
        return readArray(file, header, dataBytes, rawBlock50001);
    case VyxTagRaw55001:
        memcpy(&param55001, &header.param, sizeof param55001);
        return readArray(file, header, dataBytes, rawBlock55001);
    default:
        return skipVyxBloc(file, header);
    }
}
