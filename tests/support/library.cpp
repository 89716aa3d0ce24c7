#include "library.h"

#include <dlfcn.h>

LoadedLibrary::LoadedLibrary(const std::string& path)
{
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

LoadedLibrary::~LoadedLibrary()
{
    if (handle)
        dlclose(handle);
}

HostCommandEntry LoadedLibrary::command(const char* name) const
{
    return handle ? reinterpret_cast<HostCommandEntry>(dlsym(handle, name)) : nullptr;
}

std::string libraryPath(const std::string& name)
{
    return std::string(TESMAR_LIBRARY_DIR) + "/lib" + name + ".so";
}
