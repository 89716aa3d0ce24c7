// The desktop and network groups of the Linux services.
#include "linux_platform.h"
#include "platform.h"

const DesktopServices& systemDesktopServices()
{
    static const DesktopServices services = {
        .screenLayout = linuxScreenLayout,
        .firstWindowFullScreen = linuxFirstWindowFullScreen,
        .toggleFirstWindowFullScreen = linuxToggleFirstWindowFullScreen,
        .keyboardMap = linuxKeyboardMap,
        .postKeys = linuxPostKeys,
        .postClick = linuxPostClick,
        .openFilesPanel = linuxOpenFilesPanel,
        .chooseFolderPanel = linuxChooseFolderPanel,
        .colorPanel = linuxColorPanel,
    };
    return services;
}

const NetworkServices& systemNetworkServices()
{
    static const NetworkServices services = {
        .exchangeWithCompanion = linuxExchangeWithCompanion,
        .httpExchange = linuxHttpExchange,
    };
    return services;
}
