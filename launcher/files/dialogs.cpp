// The file and folder dialogs, and the list of the files last chosen, which
// the script reads back one path per call.
#include "common/command.h"
#include "dialogs.h"
#include "platform/platform.h"

#include <cstdlib>
#include <cstring>
#include <utility>

std::vector<std::string> g_chosenFiles;

std::string cleanTypeList(const std::string& list)
{
    std::string cleaned;
    for (char c : list)
        if (c != '.' && c != ' ' && c != '\t')
            cleaned += c;
    return cleaned;
}

std::vector<std::string> splitTypeList(const std::string& list)
{
    std::vector<std::string> extensions;
    size_t start = 0;
    while (start <= list.size())
    {
        size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        if (end > start)
            extensions.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return extensions;
}

int chooseFilesInPanel(std::vector<std::string>& files, const char* title, const std::string& types)
{
    std::vector<std::string> chosen;
    if (!desktopServices().openFilesPanel(title, splitTypeList(types), chosen))
        return 0;
    files = std::move(chosen);
    return int(files.size());
}

std::string chooseFolderInPanel(const char* title)
{
    std::string folder;
    return desktopServices().chooseFolderPanel(title, folder) ? folder : std::string();
}

bool fileFromArray(const std::vector<std::string>& files, int64_t index, std::string& path)
{
    if (index < 0 || index >= int64_t(files.size()))
        return false;
    // Links are resolved when the path is fetched; a file gone since then is
    // answered as it was chosen.
    path = fileServices().resolveLinks(files[size_t(index)].c_str());
    if (path.empty())
        path = files[size_t(index)];
    return true;
}

void clearFilesL(std::vector<std::string>& files)
{
    files.clear();
}

float getFilesDialog(std::vector<std::string>& files, const char* title, char* buffer1, int32_t buffer1Size)
{
    // Without a readable type list the panel allows every type.
    std::string types;
    if (buffer1 != nullptr && buffer1Size > 0)
    {
        size_t size = size_t(buffer1Size);
        types = cleanTypeList(std::string(buffer1, strnlen(buffer1, size)));
        // The script sees the cleaned list; it is never longer than the text
        // read, so it fits where that was.
        memcpy(buffer1, types.data(), types.size());
        if (types.size() < size)
            buffer1[types.size()] = '\0';
    }
    return float(chooseFilesInPanel(files, title, types));
}

float getFilePath(const std::vector<std::string>& files, double value, char* buffer1, int32_t buffer1Size)
{
    std::string path;
    if (!fileFromArray(files, int64_t(truncToInt(value)) - 1, path))
        return -1;
    return writeIfRoom(path, buffer1, buffer1Size) ? 0 : -1;
}

float chooseFolder(char* buffer1, int32_t buffer1Size)
{
    if (buffer1 == nullptr || buffer1Size <= 0)
        return -2;
    std::string folder = chooseFolderInPanel("Select Folder");
    if (folder.empty())
        return -1;
    return writeIfRoom(folder, buffer1, buffer1Size) ? 0 : -1;
}
