// The platform services of Brindle, which carries only LaunchAppWithFile:
// launching, opening files and telling whether a file exists. The others stay null, so that Brindle needs
// none of the display or network libraries.
#include "linux_platform.h"
#include "platform.h"

const PlatformServices& systemPlatform()
{
    static const PlatformServices services = [] {
        PlatformServices launching{};
        launching.launchApplication = linuxLaunchApplication;
        launching.openWithDefaultApplication = linuxOpenWithDefaultApplication;
        launching.pathKind = linuxPathKind;
        return launching;
    }();
    return services;
}
