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
    verticesLength = 0;
    facesLength = 0;
    faceUVsLength = 0;
    vertexColorsLength = 0;
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
        uint32_t dataBytes = 0;
        if (!checkVyxBloc(file, header, dataBytes) || !readBlock(file, header, dataBytes))
            return false;
    }
    return false;
}

// Replaces field with a new array of bytes / sizeof(T) entries, left
// uninitialised since the read fills it whole, and reads the block into it. A
// block with no data leaves the field as it is. checkVyxBloc has bounded bytes
// by what the file still holds.
template <typename T>
static bool readArray(FILE* file, const Vyx_Header& header, uint32_t bytes, std::unique_ptr<T[]>& field,
                      uint32_t* length = nullptr)
{
    if (bytes == 0)
        return skipVyxBloc(file, header);
    size_t entries = bytes / sizeof(T);
    T* array = new (std::nothrow) T[entries];
    if (!array)
        return false;
    field.reset(array);
    if (length)
        *length = uint32_t(entries);
    return readVyxBlocData(file, header, array, entries * sizeof(T));
}

bool Vyx_Mesh::readBlock(FILE* file, const Vyx_Header& header, uint32_t dataBytes)
{
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
        return readArray(file, header, dataBytes, vertices, &verticesLength);
    case 20001:
    case 20002:
    case 20003:
        faceCount = header.count;
        faceKind = header.tag;
        return readArray(file, header, dataBytes, faces, &facesLength);
    case 25001:
    case 25002:
        uvKind = header.tag;
        return readArray(file, header, dataBytes, faceUVs, &faceUVsLength);
    case 30002:
        return readArray(file, header, dataBytes, data30002);
    case 35001:
        return readArray(file, header, dataBytes, vertexColors, &vertexColorsLength);
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
