#include "linux_platform.h"
#include "platform.h"

const PlatformServices& systemPlatform()
{
    static const PlatformServices services = {
        .createFolder = linuxCreateFolder,
        .removeInFolder = linuxRemoveInFolder,
        .removeEntry = linuxRemoveEntry,
        .removeFile = linuxRemoveFile,
        .pathKind = linuxPathKind,
        .removeFolder = linuxRemoveFolder,
        .renameEntry = linuxRenameEntry,
        .openFolderStream = linuxOpenFolderStream,
        .nextFolderEntry = linuxNextFolderEntry,
        .closeFolderStream = linuxCloseFolderStream,
        .openFile = linuxOpenFile,
        .bytesLeft = linuxBytesLeft,
        .skipBytes = linuxSkipBytes,
        .nativePath = linuxNativePath,
        .resolveLinks = linuxResolveLinks,
        .usersFolder = linuxUsersFolder,
        .homeFolder = linuxHomeFolder,
        .copyFile = linuxCopyFile,
        .readFile = linuxReadFile,
        .replaceFile = linuxReplaceFile,
        .launchApplication = linuxLaunchApplication,
        .runningApplications = linuxRunningApplications,
        .openWithDefaultApplication = linuxOpenWithDefaultApplication,
        .createFolderIn = linuxCreateFolderIn,
        .screenLayout = linuxScreenLayout,
        .firstWindowFullScreen = linuxFirstWindowFullScreen,
        .toggleFirstWindowFullScreen = linuxToggleFirstWindowFullScreen,
        .keyboardMap = linuxKeyboardMap,
        .postKeys = linuxPostKeys,
        .postClick = linuxPostClick,
        .exchangeWithCompanion = linuxExchangeWithCompanion,
        .download = linuxDownload,
        .openFilesPanel = linuxOpenFilesPanel,
        .chooseFolderPanel = linuxChooseFolderPanel,
        .colorPanel = linuxColorPanel,
    };
    return services;
}
