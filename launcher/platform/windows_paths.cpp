// Paths for the wide-character file API: the rules are common/windows_path's,
// and the system gives the current folders a relative path starts from.
#include "common/windows_path.h"
#include "windows_platform.h"

static std::string fullPathOf(const std::string& text)
{
    std::wstring wide;
    if (!toWide(text.c_str(), wide))
        return std::string();
    DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    if (length == 0 || GetFullPathNameW(wide.c_str(), length, full.data(), nullptr) != length - 1)
        return std::string();
    full.resize(length - 1);
    return toUtf8(full);
}

bool toSystemPath(const char* path, std::wstring& system)
{
    // A text that is not UTF-8 is refused before anything is made of it.
    std::wstring wide;
    return toWide(path, wide) && toWide(verbatimWindowsPath(path, fullPathOf).c_str(), system);
}
