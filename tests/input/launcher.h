// The built TesmarLauncherDLL, its commands called with a text alone or a
// buffer 1 alone, as the host calls them.
#pragma once

#include "tests/support/library.h"

#include <cmath>

struct Launcher
{
    LoadedLibrary library{libraryPath("TesmarLauncherDLL")};

    float operator()(const char* name, const char* text = nullptr, char* buffer1 = nullptr) const
    {
        HostCommandEntry command = library.command(name);
        return command ? command(text, 0, buffer1, 0, nullptr, 0, nullptr) : NAN;
    }
};
