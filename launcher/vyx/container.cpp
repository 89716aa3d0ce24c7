#include "vyx.h"
#include "platform/platform.h"

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
    FILE* file = fileServices().openFile(path, FileAccess::Read);
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

// Bytes per item of the array blocks; -1 for blocks whose data is their whole
// payload, -4 for block 5001 (always four bytes), 0 for tags with no data.
static int64_t itemBytes(int32_t tag)
{
    switch (tag)
    {
    case 1:
    case 2:
    case 45001:
    case 50001:
    case 55001:
        return -1;
    case 5001:
        return -4;
    case 10001:
    case 20003:
        return 12;
    case 10002:
    case 25002:
        return 24;
    case 20001:
    case 20002:
        return 16;
    case 25001:
        return 32;
    case 30001:
    case 40002:
        return 1;
    case 30002:
    case 40001:
        return 2;
    case 35001:
        return 4;
    default:
        return 0;
    }
}

bool vyxBlocDataSize(const Vyx_Header& header, uint32_t& bytes)
{
    if (header.size < 16 || header.count < 0)
        return false;
    int64_t perItem = itemBytes(header.tag);
    int64_t total = 0;
    if (__builtin_mul_overflow(perItem, int64_t(header.count), &total))
        return false;
    if (perItem == -1)
        total = int64_t(header.size) - 16;
    else if (perItem == -4)
        total = 4;
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

void closeVyxFile(FILE* file)
{
    if (file)
        fclose(file);
}
