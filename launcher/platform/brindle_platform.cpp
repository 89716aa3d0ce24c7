// The platform services of Brindle, which carries only LaunchAppWithFile:
// launching and opening files. The others stay null, so that Brindle needs
// none of the display or network libraries.
#include "linux_platform.h"
#include "platform.h"

const PlatformServices& systemPlatform()
{
    static const PlatformServices services = [] {
        PlatformServices launching{};
        launching.launchApplication = linuxLaunchApplication;
        launching.openWithDefaultApplication = linuxOpenWithDefaultApplication;
        launching.runScript = linuxRunScript;
        return launching;
    }();
    return services;
}
