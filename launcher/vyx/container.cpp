#include "vyx.h"
#include "platform/platform.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdint>

// Headers and arrays are used as stored, which is only right on a
// little-endian machine; every platform the libraries ship for is one.
static_assert(std::endian::native == std::endian::little);

FILE* openVyxFile4Read(const char* path)
{
    if (!path)
        return nullptr;
    FILE* file = fileServices().openFile(path);
    if (!file)
        return nullptr;
    unsigned char header[32];
    if (fread(header, 1, sizeof header, file) != sizeof header)
    {
        fclose(file);
        return nullptr;
    }
    // The magic is compared without regard to case, and a zero byte among its
    // four letters ends the comparison with success, as the host's files expect.
    const char* magic = "Vyxb";
    for (int i = 0; i < 4 && header[i] != 0; i++)
    {
        if (tolower(header[i]) != tolower(magic[i]))
        {
            fclose(file);
            return nullptr;
        }
    }
    return file;
}

bool readVyxBlocHeader(FILE* file, Vyx_Header& header)
{
    return fread(&header, 1, sizeof header, file) == sizeof header;
}

bool skipVyxBloc(FILE* file, const Vyx_Header& header)
{
    if (header.size < 16)
        return false;
    return fileServices().skipBytes(file, uint64_t(header.size) - 16);
}

static const VyxBlockKind kBlockKinds[] = {
    {VyxTagRaw1, VyxData::Payload, 0, VyxReading::PassedOver},
    {VyxTagRaw2, VyxData::Payload, 0, VyxReading::PassedOver},
    {VyxTagValue5001, VyxData::Four, 0, VyxReading::Read},
    {VyxTagVertices, VyxData::Items, 12, VyxReading::Read},
    {VyxTag10002, VyxData::Items, 24, VyxReading::Skipped},
    {VyxTagQuads, VyxData::Items, 16, VyxReading::Read},
    {VyxTagQuads20002, VyxData::Items, 16, VyxReading::Read},
    {VyxTagTriangles, VyxData::Items, 12, VyxReading::Read},
    {VyxTagQuadUVs, VyxData::Items, 32, VyxReading::Read},
    {VyxTagTriangleUVs, VyxData::Items, 24, VyxReading::Read},
    {VyxTag30001, VyxData::Items, 1, VyxReading::Skipped},
    {VyxTag30002, VyxData::Items, 2, VyxReading::PassedOver},
    {VyxTagVertexColors, VyxData::Items, 4, VyxReading::Read},
    {VyxTag40001, VyxData::Items, 2, VyxReading::PassedOver},
    {VyxTag40002, VyxData::Items, 1, VyxReading::PassedOver},
    {VyxTagRaw45001, VyxData::Payload, 0, VyxReading::PassedOver},
    {VyxTagRaw50001, VyxData::Payload, 0, VyxReading::PassedOver},
    {VyxTagRaw55001, VyxData::Payload, 0, VyxReading::PassedOver},
};

const VyxBlockKind& vyxBlockKind(int32_t tag)
{
    static const VyxBlockKind unknown{VyxTagEnd, VyxData::None, 0, VyxReading::Skipped};
    for (const VyxBlockKind& kind : kBlockKinds)
        if (kind.tag == tag)
            return kind;
    return unknown;
}

bool vyxBlocDataSize(const Vyx_Header& header, uint32_t& bytes)
{
    if (header.size < 16 || header.count < 0)
        return false;
    const VyxBlockKind& kind = vyxBlockKind(header.tag);
    int64_t total = 0;
    switch (kind.data)
    {
    case VyxData::None: break;
    case VyxData::Items: total = int64_t(kind.itemBytes) * header.count; break;
    case VyxData::Payload: total = int64_t(header.size) - 16; break;
    case VyxData::Four: total = 4; break;
    }
    if (total > INT32_MAX)
        return false;
    bytes = uint32_t(total);
    return true;
}

bool checkVyxSkip(FILE* file, const Vyx_Header& header)
{
    uint64_t remaining = 0;
    return header.size >= 16 && fileServices().bytesLeft(file, remaining) && uint64_t(header.size) - 16 <= remaining;
}

bool checkVyxBloc(FILE* file, const Vyx_Header& header, uint32_t& dataBytes)
{
    uint64_t remaining = 0;
    if (!vyxBlocDataSize(header, dataBytes) || !fileServices().bytesLeft(file, remaining))
        return false;
    return uint64_t(header.size) - 16 <= remaining && dataBytes <= remaining;
}

bool readVyxBlocData(FILE* file, const Vyx_Header& header, void* buffer, size_t bufferSize)
{
    uint32_t bytes = 0;
    if (!vyxBlocDataSize(header, bytes) || bytes > bufferSize)
        return false;
    if (bytes > 0 && fread(buffer, 1, bytes, file) != bytes)
        return false;
    // Data longer than the payload leaves the stream past the block's end.
    uint32_t payload = uint32_t(header.size) - 16;
    if (payload > bytes)
        return fileServices().skipBytes(file, payload - bytes);
    return true;
}

bool skipVyxBlocData(FILE* file, const Vyx_Header& header)
{
    uint32_t bytes = 0;
    if (!vyxBlocDataSize(header, bytes))
        return false;
    return fileServices().skipBytes(file, std::max<uint64_t>(uint64_t(header.size) - 16, bytes));
}

void closeVyxFile(FILE* file)
{
    if (file)
        fclose(file);
}
