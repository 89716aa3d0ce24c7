#include "library_loader.h"
#include "common/utf8.h"

#if defined(_WIN32)
#include <windows.h>

void* loadPluginLibrary(const std::string& path)
{
    // The path is UTF-8; the ANSI entry point would read it in the code page.
    std::u16string wide;
    if (!utf8ToUtf16(path, wide))
        return nullptr;
    return reinterpret_cast<void*>(LoadLibraryW(reinterpret_cast<const wchar_t*>(wide.c_str())));
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
