#include "library.h"
#include "library_loader.h"

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

std::string libraryPath(const std::string& name)
{
#if defined(_WIN32)
    return std::string(TESMAR_LIBRARY_DIR) + "/" + name + ".dll";
#else
    return std::string(TESMAR_LIBRARY_DIR) + "/lib" + name + ".so";
#endif
}
