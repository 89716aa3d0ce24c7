#include "platform.h"

static InstalledServices g_installed;

const InstalledServices& installedServices()
{
    return g_installed;
}

void installServices(const InstalledServices& services)
{
    g_installed = services;
}
