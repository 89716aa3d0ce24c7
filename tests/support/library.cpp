#include "library.h"
#include "host/library_loader.h"

LoadedLibrary::LoadedLibrary(const std::string& path)
{
    handle = loadPluginLibrary(path);
}

LoadedLibrary::~LoadedLibrary()
{
    if (handle)
        closePluginLibrary(handle);
}

HostCommandEntry LoadedLibrary::command(const char* name) const
{
    return handle ? reinterpret_cast<HostCommandEntry>(findPluginSymbol(handle, name)) : nullptr;
}

void* LoadedLibrary::symbol(const char* name) const
{
    return handle ? findPluginSymbol(handle, name) : nullptr;
}

#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#endif

std::string libraryPath(const std::string& name)
{
#if defined(_WIN32)
    // The DLL stands beside the test program.
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + name + ".dll";
#else
    // scripts/package points the checks at the libraries it packed.
    const char* folder = getenv("TESMAR_LIBRARY_DIR");
    return std::string(folder ? folder : TESMAR_LIBRARY_DIR) + "/lib" + name + ".so";
#endif
}
