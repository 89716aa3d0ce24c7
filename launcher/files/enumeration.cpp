#include "command.h"
#include "files.h"

#include <cstring>

DIR* g_folderStream = nullptr;

float openFolder(DIR*& stream, const char* text)
{
    if (!text)
        return -1;
    // The stream being replaced is closed, also when the new folder cannot
    // be opened (which leaves no folder open).
    if (stream)
        closedir(stream);
    stream = opendir(MakeMacPath(text).c_str());
    return stream ? 0 : -1;
}

float getFile(DIR*& stream, char* buffer1, int32_t buffer1Size)
{
    if (!stream || !buffer1)
        return -1;
    dirent* entry = readdir(stream);
    if (!entry)
        return -3;
    while (entry->d_name[0] == '.')
    {
        entry = readdir(stream);
        if (!entry)
            return -4;
    }
    return writeWholeText(entry->d_name, buffer1, buffer1Size) ? 0 : -1;
}

float closeFolder(DIR*& stream)
{
    if (!stream)
        return -1;
    closedir(stream);
    stream = nullptr;
    return 0;
}

float GetFileNo(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    DIR* folder = opendir(path.c_str());
    if (!folder)
        return -1;
    // "." and ".." are known by their names: a file system may list them
    // anywhere, or not at all.
    size_t count = 0;
    while (dirent* entry = readdir(folder))
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
            count++;
    closedir(folder);
    return float(count);
}

float getFileNumber(const char* text)
{
    if (!text)
        return -5;
    return GetFileNo(MakeMacPath(text));
}
