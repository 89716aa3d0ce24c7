// The desktop services the launcher's commands need, behind one interface in
// four groups (files, processes, desktop, network): the Linux and Windows
// implementations serve the libraries, and tests install a double. A program
// is linked with the groups it uses and no others, so that a library given
// fewer (Brindle has files and processes) cannot call into a missing one.
// Each group has a header of its own; this one pulls them in and says which
// services are in use, the system's or those a test installed.
#pragma once

#include "desktop.h"
#include "files.h"
#include "network.h"
#include "processes.h"

// The system's own services of each group, defined by the group's part of
// the implementation a program is linked with.
const FileServices& systemFileServices();
const ProcessServices& systemProcessServices();
const DesktopServices& systemDesktopServices();
const NetworkServices& systemNetworkServices();

// Services a test installs in place of the system's; a null group is the
// system's own.
struct InstalledServices
{
    const FileServices* files = nullptr;
    const ProcessServices* processes = nullptr;
    const DesktopServices* desktop = nullptr;
    const NetworkServices* network = nullptr;
};
const InstalledServices& installedServices();
// Installs services for tests; {} restores the system's.
void installServices(const InstalledServices& services);

// The services in use: the system's own unless a test installed others.
inline const FileServices& fileServices()
{
    const FileServices* installed = installedServices().files;
    return installed ? *installed : systemFileServices();
}
inline const ProcessServices& processServices()
{
    const ProcessServices* installed = installedServices().processes;
    return installed ? *installed : systemProcessServices();
}
inline const DesktopServices& desktopServices()
{
    const DesktopServices* installed = installedServices().desktop;
    return installed ? *installed : systemDesktopServices();
}
inline const NetworkServices& networkServices()
{
    const NetworkServices* installed = installedServices().network;
    return installed ? *installed : systemNetworkServices();
}
