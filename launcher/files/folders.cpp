#include "files.h"
#include "command.h"
#include "platform.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

bool createFolder(const char* path)
{
    return platform().createFolder(path);
}

std::string pathExtension(const std::string& name)
{
    size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot + 1);
}

bool deleteFilesInFolder(const char* folder, const char* extension)
{
    std::vector<std::string> names;
    if (!platform().listFolder(folder, names))
        return false;
    for (const std::string& name : names)
        if (pathExtension(name) == extension)
            platform().removeItem((std::filesystem::path(folder) / name).c_str());
    return true;
}

bool clearFolderPicks(const std::string& name)
{
    // The full path is scanned backwards from its end: a "." met before any
    // "/" or "\\" picks the entry. The folder part ends with "/", so only the
    // name counts, and a name such as a.b\c stays.
    for (size_t at = name.size(); at-- > 0;)
    {
        if (name[at] == '\\' || name[at] == '/')
            return false;
        if (name[at] == '.')
            return true;
    }
    return false;
}

float ClearFolder(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    DIR* folder = opendir(path.c_str());
    if (!folder)
        return -1;
    while (dirent* entry = readdir(folder))
    {
        std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (clearFolderPicks(name))
            remove((path + name).c_str());
    }
    closedir(folder);
    return 0;
}

std::string getSharedFolder()
{
    return platform().usersFolder();
}

float makeFolder(const char* text)
{
    if (!text)
        return -2;
    return createFolder(MakeMacPath(text).c_str()) ? 0 : -1;
}

float folderExists(const char* text)
{
    struct stat info;
    return text && stat(MakeMacPath(text).c_str(), &info) == 0 ? 1 : 0;
}

float deleteFolder(const char* text)
{
    if (!text)
        return -1;
    return rmdir(MakeMacPath(text).c_str()) == 0 ? 0 : -1;
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
    return ClearFolder(MakeMacPath(text));
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
    const char* home = getenv("HOME");
    return writeWholeText(home ? home : "", buffer1, buffer1Size) ? 0 : -1;
}
