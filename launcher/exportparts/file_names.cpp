#include "exportparts.h"

#include <cstring>

std::string FileNameExtract(const std::string& path, int mode)
{
    size_t separator = path.find_last_of("/\\");
    size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    size_t dot = path.rfind('.');
    switch (mode)
    {
    case 1:
        return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
    case 2:
    {
        std::string name = path.substr(nameStart);
        return name.substr(0, name.rfind('.'));
    }
    case 3:
        return path.substr(0, dot);
    case 4:
        // A path without "." has no extension: the answer is empty.
        return dot == std::string::npos ? std::string() : path.substr(dot);
    case 6:
        return path.substr(nameStart);
    default:
        return path;
    }
}

std::vector<std::string> splitMeshList(const char* list, int32_t size)
{
    std::vector<std::string> entries;
    size_t total = list && size > 0 ? size_t(size) : 0;
    size_t offset = 0;
    do
    {
        size_t length = offset < total ? strnlen(list + offset, total - offset) : 0;
        entries.emplace_back(length ? list + offset : "", length);
        offset += length + 1;
    } while (offset < total);
    return entries;
}
