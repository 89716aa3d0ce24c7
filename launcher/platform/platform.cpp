#include "platform.h"

static const PlatformServices* g_installed = nullptr;

const PlatformServices& platform()
{
    return g_installed ? *g_installed : linuxPlatform();
}

void installPlatform(const PlatformServices* services)
{
    g_installed = services;
}
