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
        if (header.tag == 0)
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

// The tags readMesh keeps; every other block (10002 and 30001 among them) is
// skipped whole.
static bool keptTag(int32_t tag)
{
    switch (tag)
    {
    case 1: case 2: case 5001: case 10001: case 20001: case 20002: case 20003: case 25001: case 25002:
    case 30002: case 35001: case 40001: case 40002: case 45001: case 50001: case 55001:
        return true;
    default:
        return false;
    }
}

// Checks a block before anything of it is recorded or read: a skipped block,
// or one with no data, by its size alone; any other by its data too.
static bool checkBlock(FILE* file, const Vyx_Header& header, uint32_t& dataBytes)
{
    if (!keptTag(header.tag))
        return checkVyxSkip(file, header);
    if (!vyxBlocDataSize(header, dataBytes))
        return false;
    bool empty = header.tag != 5001 && (dataBytes == 0 || header.size == 16);
    return empty ? checkVyxSkip(file, header) : checkVyxBloc(file, header, dataBytes);
}

bool Vyx_Mesh::readBlock(FILE* file, const Vyx_Header& header)
{
    uint32_t dataBytes = 0;
    if (!checkBlock(file, header, dataBytes))
        return false;
    switch (header.tag)
    {
    case 1:
        return readArray(file, header, dataBytes, rawBlock1);
    case 2:
        return readArray(file, header, dataBytes, rawBlock2);
    case 5001:
        return readVyxBlocData(file, header, &value5001, sizeof value5001);
    case 10001:
        vertexCount = header.count;
        return readArray(file, header, dataBytes, vertices);
    case 20001:
    case 20002:
    case 20003:
    {
        faceCount = header.count;
        faceKind = header.tag;
        bool filled = false;
        if (!readArray(file, header, dataBytes, faces, &filled))
            return false;
        if (filled)
            indicesPerFace = header.tag == 20003 ? 3 : 4;
        return true;
    }
    case 25001:
    case 25002:
    {
        uvKind = header.tag;
        bool filled = false;
        if (!readArray(file, header, dataBytes, faceUVs, &filled))
            return false;
        if (filled)
            uvFloatsPerFace = header.tag == 25002 ? 6 : 8;
        return true;
    }
    case 30002:
        return readArray(file, header, dataBytes, data30002);
    case 35001:
        return readArray(file, header, dataBytes, vertexColors);
    case 40001:
        return readArray(file, header, dataBytes, data40001);
    case 40002:
        return readArray(file, header, dataBytes, data40002);
    case 45001:
        return readArray(file, header, dataBytes, rawBlock45001);
    case 50001:
        return readArray(file, header, dataBytes, rawBlock50001);
    case 55001:
        memcpy(&param55001, &header.param, sizeof param55001);
        return readArray(file, header, dataBytes, rawBlock55001);
    default:
        return skipVyxBloc(file, header);
    }
}
