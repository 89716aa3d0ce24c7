#include "library_loader.h"

#if defined(_WIN32)
#include <windows.h>

void* loadPluginLibrary(const std::string& path)
{
    return reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
}

void* findPluginSymbol(void* library, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void closePluginLibrary(void* library)
{
    FreeLibrary(static_cast<HMODULE>(library));
}

std::string pluginLoadError()
{
    return "error " + std::to_string(GetLastError());
}
#else
#include <dlfcn.h>

void* loadPluginLibrary(const std::string& path)
{
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* findPluginSymbol(void* library, const char* name)
{
    return dlsym(library, name);
}

void closePluginLibrary(void* library)
{
    dlclose(library);
}

std::string pluginLoadError()
{
    const char* error = dlerror();
    return error ? error : "unknown error";
}
#endif
