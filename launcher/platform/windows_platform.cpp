#include "windows_platform.h"
#include "platform.h"

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
