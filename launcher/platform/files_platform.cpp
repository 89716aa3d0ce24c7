// The file services alone, for the programs that read meshes and write
// exports without the rest of the desktop (the Vyx tests, fuzzers and
// benchmarks): they need none of the display or network libraries. The
// other services stay null.
#include "linux_platform.h"
#include "platform.h"

const PlatformServices& systemPlatform()
{
    static const PlatformServices services = [] {
        PlatformServices files{};
        setLinuxFileServices(files);
        return files;
    }();
    return services;
}
