#include "windows_platform.h"
#include "platform.h"

const PlatformServices& systemPlatform()
{
    static const PlatformServices services = {
        .createFolder = windowsCreateFolder,
        .removeInFolder = windowsRemoveInFolder,
        .removeEntry = windowsRemoveEntry,
        .removeFile = windowsRemoveFile,
        .pathKind = windowsPathKind,
        .removeFolder = windowsRemoveFolder,
        .renameEntry = windowsRenameEntry,
        .openFolderStream = windowsOpenFolderStream,
        .nextFolderEntry = windowsNextFolderEntry,
        .closeFolderStream = windowsCloseFolderStream,
        .openFile = windowsOpenFile,
        .bytesLeft = windowsBytesLeft,
        .skipBytes = windowsSkipBytes,
        .nativePath = windowsNativePath,
        .resolveLinks = windowsResolveLinks,
        .usersFolder = windowsUsersFolder,
        .homeFolder = windowsHomeFolder,
        .copyFile = windowsCopyFile,
        .readFile = windowsReadFile,
        .replaceFile = windowsReplaceFile,
        .launchApplication = windowsLaunchApplication,
        .runningApplications = windowsRunningApplications,
        .openWithDefaultApplication = windowsOpenWithDefaultApplication,
        .createFolderIn = windowsCreateFolderIn,
        .screenLayout = windowsScreenLayout,
        .firstWindowFullScreen = windowsFirstWindowFullScreen,
        .toggleFirstWindowFullScreen = windowsToggleFirstWindowFullScreen,
        .keyboardMap = windowsKeyboardMap,
        .postKeys = windowsPostKeys,
        .postClick = windowsPostClick,
        .exchangeWithCompanion = windowsExchangeWithCompanion,
        .download = windowsDownload,
        .openFilesPanel = windowsOpenFilesPanel,
        .chooseFolderPanel = windowsChooseFolderPanel,
        .colorPanel = windowsColorPanel,
    };
    return services;
}
