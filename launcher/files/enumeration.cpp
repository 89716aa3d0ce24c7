#include "common/command.h"
#include "common/host_path.h"
#include "enumeration.h"
#include "platform/platform.h"

OpenFolderStream g_folderStream;

OpenFolderStream::~OpenFolderStream()
{
    closeFolder(stream);
}

float openFolder(FolderStream*& stream, const char* text)
{
    if (!text)
        return -1;
    // The stream being replaced is closed, also when the new folder cannot
    // be opened (which leaves no folder open).
    if (stream)
        fileServices().closeFolderStream(stream);
    stream = fileServices().openFolderStream(hostPathToNative(text).c_str());
    return stream ? 0 : -1;
}

float getFile(FolderStream*& stream, char* buffer1, int32_t buffer1Size)
{
    if (!stream || !buffer1)
        return -1;
    std::string name;
    if (!fileServices().nextFolderEntry(stream, name))
        return -3;
    while (name[0] == '.')
    {
        if (!fileServices().nextFolderEntry(stream, name))
            return -4;
    }
    return writeWholeText(name, buffer1, buffer1Size) ? 0 : -1;
}

float closeFolder(FolderStream*& stream)
{
    if (!stream)
        return -1;
    fileServices().closeFolderStream(stream);
    stream = nullptr;
    return 0;
}

float GetFileNo(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    FolderStream* folder = fileServices().openFolderStream(path.c_str());
    if (!folder)
        return -1;
    // "." and ".." are known by their names: a file system may list them
    // anywhere, or not at all.
    size_t count = 0;
    std::string name;
    while (fileServices().nextFolderEntry(folder, name))
        if (name != "." && name != "..")
            count++;
    fileServices().closeFolderStream(folder);
    return float(count);
}

float getFileNumber(const char* text)
{
    if (!text)
        return -5;
    return GetFileNo(hostPathToNative(text));
}
