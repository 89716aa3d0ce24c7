#include "launch.h"
#include "common/desktop_codes.h"
#include "common/host_path.h"
#include "platform/platform.h"

std::string fileArgument(const std::string& path)
{
    return path.starts_with('-') ? "./" + path : path;
}

// The command's result for what opening a file with its default application
// came to: the opener's own status when it failed.
static float openResult(const OpenAnswer& answer)
{
    switch (answer.outcome)
    {
    case OpenOutcome::Started: return 0;
    case OpenOutcome::FileMissing: return kFileNotFound;
    case OpenOutcome::NoApplication: return kApplicationNotFound;
    case OpenOutcome::OpenerFailed: return float(answer.openerStatus);
    case OpenOutcome::Failed: return -1;
    }
    return -1;
}

// The file opened with the chosen application, or with its default one,
// through the platform's own services.
float launchAppWithFile(const char* text, const char* buffer1, int openerWaitMilliseconds)
{
    if (!text)
        return -1;
    std::string file = MakeMacPath(text);
    if (!buffer1)
        return openResult(processServices().openWithDefaultApplication(file.c_str(), openerWaitMilliseconds));
    if (fileServices().pathKind(file.c_str()) == PathKind::Missing)
        return kFileNotFound;
    std::string application = MakeMacPath(buffer1);
    return processServices().launchApplication(application.c_str(), {fileArgument(file)}) ? 0 : kApplicationNotFound;
}

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
    std::string path = MakeMacPath(text);
    if (path.empty())
        return -3;
    size_t separator = path.find_last_of("/\\");
    // Without a separator the parent would be the name itself: the shell
    // command fails, and so does this.
    if (separator == std::string::npos)
        return 1;
    return float(createFolderIn(path.substr(0, separator), path.substr(separator + 1)));
}
