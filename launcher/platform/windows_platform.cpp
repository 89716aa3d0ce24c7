#include "file_rules.h"
#include "windows_platform.h"
#include "platform.h"

const FileServices& systemFileServices()
{
    static const FileServices services = {
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
        .resolveLinks = windowsResolveLinks,
        .usersFolder = windowsUsersFolder,
        .homeFolder = windowsHomeFolder,
        .copyFile = copyRegularFile,
        .readFile = readWholeFile,
        .replaceFile = replaceWholeFile,
        .removeLeftoverDownloads = removeLeftoverDownloads,
    };
    return services;
}

const ProcessServices& systemProcessServices()
{
    static const ProcessServices services = {
        .launchApplication = windowsLaunchApplication,
        .runningApplications = windowsRunningApplications,
        .openWithDefaultApplication = windowsOpenWithDefaultApplication,
    };
    return services;
}

const DesktopServices& systemDesktopServices()
{
    static const DesktopServices services = {
        .screenLayout = windowsScreenLayout,
        .firstWindowFullScreen = windowsFirstWindowFullScreen,
        .toggleFirstWindowFullScreen = windowsToggleFirstWindowFullScreen,
        .keyboardMap = windowsKeyboardMap,
        .postKeys = windowsPostKeys,
        .postClick = windowsPostClick,
        .openFilesPanel = windowsOpenFilesPanel,
        .chooseFolderPanel = windowsChooseFolderPanel,
        .colorPanel = windowsColorPanel,
    };
    return services;
}

const NetworkServices& systemNetworkServices()
{
    static const NetworkServices services = {
        .exchangeWithCompanion = windowsExchangeWithCompanion,
        .httpExchange = windowsHttpExchange,
    };
    return services;
}
