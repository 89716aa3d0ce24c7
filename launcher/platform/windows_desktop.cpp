// The desktop services on Windows that need no display: creating a folder by
// name and the script runner. Launching, the panels, screens and input
// answer as they do without a display: nothing launched, every panel
// cancelled, no screen, nothing typed or clicked.
#include "windows_platform.h"

bool windowsLaunchApplication(const char*, const std::vector<std::string>&)
{
    return false;
}

void windowsRunningApplications(std::vector<std::string>& names)
{
    names.clear();
}

int windowsOpenWithDefaultApplication(const char* path)
{
    return windowsPathKind(path) == PathKind::Missing ? kFileNotFound : -1;
}

int windowsCreateFolderIn(const char* parent, const char* name)
{
    if (name[0] == '\0')
        return 1;
    // An empty parent is the root folder of the current drive.
    std::string folder = parent[0] == '\0' ? "\\" : parent;
    // The parent must exist: the folder is never created anywhere else.
    if (windowsPathKind(folder.c_str()) != PathKind::Folder)
        return 1;
    std::string path = (parent[0] == '\0' ? "" : folder) + "\\" + name;
    if (windowsCreateFolder(path.c_str()))
        return 0;
    return windowsPathKind(path.c_str()) == PathKind::Folder ? 0 : 1;
}

int windowsRunScript(const char*, size_t)
{
    return kNoScriptingComponent;
}

ScreenLayout windowsScreenLayout()
{
    return ScreenLayout();
}

bool windowsFirstWindowFullScreen()
{
    return false;
}

void windowsToggleFirstWindowFullScreen()
{
}

bool windowsKeyboardMap(KeyboardMap&)
{
    return false;
}

void windowsPostKeys(const std::vector<KeyEvent>&)
{
}

void windowsPostClick(int32_t, int32_t)
{
}

bool windowsOpenFilesPanel(const char*, const std::vector<std::string>&, std::vector<std::string>&)
{
    return false;
}

bool windowsChooseFolderPanel(const char*, std::string&)
{
    return false;
}

ColorAnswer windowsColorPanel(const RgbColor&)
{
    return ColorAnswer{kUserCancelled, false, {}};
}
