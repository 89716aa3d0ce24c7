#include "linux_platform.h"
#include "platform.h"

const PlatformServices& linuxPlatform()
{
    static const PlatformServices services = {
        linuxCreateFolder,
        linuxListFolder,
        linuxRemoveItem,
        linuxUsersFolder,
        linuxCopyFile,
        linuxLaunchApplication,
        linuxRunningApplications,
        linuxOpenWithDefaultApplication,
        linuxCreateFolderIn,
        linuxRunScript,
        linuxScreenLayout,
        linuxFirstWindowFullScreen,
        linuxToggleFirstWindowFullScreen,
        linuxKeyboardMap,
        linuxPostKeys,
        linuxPostClick,
        linuxDownload,
        linuxOpenFilesPanel,
        linuxChooseFolderPanel,
        linuxColorPanel,
    };
    return services;
}
