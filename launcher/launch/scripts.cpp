#include "launch.h"
#include "common/host_path.h"
#include "platform/platform.h"

std::string fileArgument(const std::string& path)
{
    return path.starts_with('-') ? "./" + path : path;
}

// The file opened with the chosen application, or with its default one,
// through the platform's own services.
float launchAppWithFile(const char* text, const char* buffer1, int openerWaitMilliseconds)
{
    if (!text)
        return -1;
    std::string file = MakeMacPath(text);
    if (!buffer1)
        return float(platform().openWithDefaultApplication(file.c_str(), openerWaitMilliseconds));
    if (platform().pathKind(file.c_str()) == PathKind::Missing)
        return kFileNotFound;
    std::string application = MakeMacPath(buffer1);
    return platform().launchApplication(application.c_str(), {fileArgument(file)}) ? 0 : kApplicationNotFound;
}

float makeFolderOld(const char* text)
{
    if (!text)
        return -1;
    std::string path = MakeMacPath(text);
    if (path.empty())
        return -3;
    size_t separator = path.find_last_of("/\\");
    // Without a separator the parent would be the name itself: the shell
    // command fails, and so does this.
    if (separator == std::string::npos)
        return 1;
    std::string parent = path.substr(0, separator);
    std::string name = path.substr(separator + 1);
    return float(platform().createFolderIn(parent.c_str(), name.c_str()));
}
