#include "file_names.h"

#include <cstring>

std::string FileNameExtract(const std::string& path, PathPart part)
{
    size_t separator = path.find_last_of("/\\");
    if (part == PathPart::Folder)
        return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
    std::string name = path.substr(separator == std::string::npos ? 0 : separator + 1);
    return name.substr(0, name.rfind('.'));
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
