#include "platform.h"

static const PlatformServices* g_installed = nullptr;

const PlatformServices& platform()
{
    return g_installed ? *g_installed : systemPlatform();
}

void installPlatform(const PlatformServices* services)
{
    g_installed = services;
}
