#include "folders.h"
#include "common/command.h"
#include "common/host_path.h"
#include "platform/platform.h"

bool createFolder(const char* path)
{
    return fileServices().createFolder(path);
}

std::string pathExtension(const std::string& name)
{
    size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot + 1);
}

static bool hasExtension(const std::string& name, const void* extension)
{
    return pathExtension(name) == static_cast<const char*>(extension);
}

bool deleteFilesInFolder(const char* folder, const char* extension)
{
    return fileServices().removeInFolder(folder, hasExtension, extension, true);
}

bool clearFolderPicks(const std::string& name)
{
    // The full path is scanned backwards from its end: a "." met before any
    // "/" or "\\" picks the entry. The folder part ends with a separator, so
    // only the name counts, and a name such as a.b\c stays.
    for (size_t at = name.size(); at-- > 0;)
    {
        if (name[at] == '\\' || name[at] == '/')
            return false;
        if (name[at] == '.')
            return true;
    }
    return false;
}

static bool clearFolderTakes(const std::string& name, const void*)
{
    return clearFolderPicks(name);
}

float ClearFolder(const std::string& path)
{
    // Files and empty folders go; a folder with anything inside stays.
    return fileServices().removeInFolder(path.c_str(), clearFolderTakes, nullptr, false) ? 0 : -1;
}

std::string getSharedFolder()
{
    return fileServices().usersFolder();
}

float makeFolder(const char* text)
{
    if (!text)
        return -2;
    return createFolder(hostPathToNative(text).c_str()) ? 0 : -1;
}

float folderExists(const char* text)
{
    return text && fileServices().pathKind(hostPathToNative(text).c_str()) != PathKind::Missing ? 1 : 0;
}

float deleteFolder(const char* text)
{
    if (!text)
        return -1;
    return fileServices().removeFolder(hostPathToNative(text).c_str()) ? 0 : -1;
}

float deleteFilesByExtension(const char* text, const char* folder)
{
    if (!text || !folder)
        return -1;
    std::string pattern = text;
    size_t dot = pattern.find('.');
    std::string extension = dot == std::string::npos ? pattern : pattern.substr(dot + 1);
    // An empty extension would select every entry without one, folders and
    // all they hold among them: such a pattern is refused.
    if (extension.empty())
        return -1;
    return deleteFilesInFolder(folder, extension.c_str()) ? 0 : -1;
}

float emptyFolder(const char* text)
{
    if (!text)
        return -5;
    return ClearFolder(hostPathToNative(text));
}

float getPublicFolder(char* buffer1, int32_t buffer1Size)
{
    std::string folder = getSharedFolder();
    if (folder.empty())
        return 0;
    return writeWholeText(folder, buffer1, buffer1Size) ? 1 : -1;
}

float getUserPath(char* buffer1, int32_t buffer1Size)
{
    return writeWholeText(fileServices().homeFolder(), buffer1, buffer1Size) ? 0 : -1;
}
