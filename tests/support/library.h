// Loads a built library the way the host does and finds its commands.
#pragma once

#include "common/command.h"

#include <string>

struct LoadedLibrary
{
    void* handle = nullptr;

    explicit LoadedLibrary(const std::string& path);
    ~LoadedLibrary();
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    // Null when the library has no such command.
    HostCommandEntry command(const char* name) const;
    void* symbol(const char* name) const;
};

// Path of a built library by its name, such as "Brindle"; on Linux from the
// folder that TESMAR_LIBRARY_DIR names, when it is set.
std::string libraryPath(const std::string& name);
