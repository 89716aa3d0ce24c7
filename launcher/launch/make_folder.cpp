// Making a folder inside a parent that exists, as the older folder command does.
#include "launch.h"
#include "common/host_path.h"
#include "platform/platform.h"

// Creates the folder name inside parent ("" is the root folder): 0 when it
// was created or is already a folder, 1 otherwise. The parent must exist:
// the folder is never created anywhere else.
static int createFolderIn(const std::string& parent, const std::string& name)
{
    if (name.empty() || fileServices().pathKind(parent.empty() ? "/" : parent.c_str()) != PathKind::Folder)
        return 1;
    std::string path = parent + "/" + name;
    if (fileServices().createFolder(path.c_str()))
        return 0;
    return fileServices().pathKind(path.c_str()) == PathKind::Folder ? 0 : 1;
}

float makeFolderOld(const char* text)
{
    if (!text)
        return -1;
    std::string path = hostPathToNative(text);
    if (path.empty())
        return -3;
    size_t separator = path.find_last_of("/\\");
    // Without a separator the parent would be the name itself: the shell
    // command fails, and so does this.
    if (separator == std::string::npos)
        return 1;
    return float(createFolderIn(path.substr(0, separator), path.substr(separator + 1)));
}
