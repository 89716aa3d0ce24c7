#include "linux_platform.h"
#include "platform.h"

const PlatformServices& systemPlatform()
{
    static const PlatformServices services = [] {
        PlatformServices all{};
        setLinuxFileServices(all);
        all.launchApplication = linuxLaunchApplication;
        all.runningApplications = linuxRunningApplications;
        all.openWithDefaultApplication = linuxOpenWithDefaultApplication;
        all.createFolderIn = linuxCreateFolderIn;
        all.screenLayout = linuxScreenLayout;
        all.firstWindowFullScreen = linuxFirstWindowFullScreen;
        all.toggleFirstWindowFullScreen = linuxToggleFirstWindowFullScreen;
        all.keyboardMap = linuxKeyboardMap;
        all.postKeys = linuxPostKeys;
        all.postClick = linuxPostClick;
        all.exchangeWithCompanion = linuxExchangeWithCompanion;
        all.download = linuxDownload;
        all.openFilesPanel = linuxOpenFilesPanel;
        all.chooseFolderPanel = linuxChooseFolderPanel;
        all.colorPanel = linuxColorPanel;
        return all;
    }();
    return services;
}
