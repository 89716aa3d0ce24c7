// Loading a plug-in library and finding its commands, on POSIX (dlopen) and
// on Windows (LoadLibrary).
#pragma once

#include <string>

void* loadPluginLibrary(const std::string& path);
void* findPluginSymbol(void* library, const char* name);
void closePluginLibrary(void* library);
// Why the last load failed, in the platform's words.
std::string pluginLoadError();
