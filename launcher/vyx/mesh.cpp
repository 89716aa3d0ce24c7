#include "vyx.h"
#include "platform/memory.h"

#include <cstring>

void Vyx_Mesh::clear()
{
    value5001 = 0;
    vertexCount = 0;
    vertices.reset();
    faceCount = 0;
    faceKind = 0;
    faces.reset();
    uvKind = 0;
    faceUVs.reset();
    vertexColors.reset();
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

// A block with no data (no items, or no payload) leaves its field as it is
// and is passed over.
static bool emptyBlock(const Vyx_Header& header, uint32_t dataBytes)
{
    return dataBytes == 0 || header.size == 16;
}

// Replaces field with a new array of the block's data and its length, left
// uninitialised since the read fills it whole; filled tells whether it did.
template <typename T>
static bool readArray(FILE* file, const Vyx_Header& header, uint32_t bytes, VyxArray<T>& field,
                      bool* filled = nullptr)
{
    if (emptyBlock(header, bytes))
        return skipVyxBloc(file, header);
    size_t entries = bytes / sizeof(T);
    LargeArray<T> array = newLargeArray<T>(entries);
    if (!array)
        return false;
    T* data = array.get();
    field.reset(std::move(array), uint32_t(entries));
    if (filled)
        *filled = true;
    return readVyxBlocData(file, header, data, entries * sizeof(T));
}

// A block no exporter reads, passed over as far as reading it would go.
static bool passOver(FILE* file, const Vyx_Header& header, uint32_t bytes)
{
    return emptyBlock(header, bytes) ? skipVyxBloc(file, header) : skipVyxBlocData(file, header);
}

// Checks a block before anything of it is recorded or read: a skipped block,
// or one with no data, by its size alone; any other by its data too.
static bool checkBlock(FILE* file, const Vyx_Header& header, uint32_t& dataBytes)
{
    const VyxBlockKind& kind = vyxBlockKind(header.tag);
    if (kind.reading == VyxReading::Skipped)
        return checkVyxSkip(file, header);
    if (!vyxBlocDataSize(header, dataBytes))
        return false;
    bool empty = kind.data != VyxData::Four && emptyBlock(header, dataBytes);
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
    case VyxTagVertexColors:
        return readArray(file, header, dataBytes, vertexColors);
    case VyxTagRaw55001:
        memcpy(&param55001, &header.param, sizeof param55001);
        return passOver(file, header, dataBytes);
    default:
        if (vyxBlockKind(header.tag).reading == VyxReading::PassedOver)
            return passOver(file, header, dataBytes);
        return skipVyxBloc(file, header);
    }
}
