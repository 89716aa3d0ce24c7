#include "platform.h"

// The services every command reaches without being handed them: the
// system's, or those a test installs.
static InstalledServices g_installed;

const InstalledServices& installedServices()
{
    return g_installed;
}

void installServices(const InstalledServices& services)
{
    g_installed = services;
}
