// Paths as Windows takes them exactly as spelt. A plain path is rewritten by
// Windows before use: a trailing "." or space is dropped from each name
// ("data." names data), a device name with any extension ("con.txt",
// "nul.psd") names the device, and the whole path is refused beyond 260
// characters unless the system's long-path setting is on (Wine has no such
// limit). A path in the "\\?\" form escapes all of that, but is used
// verbatim: so separators are made "\" and "." and ".." resolved here, in
// the text, as Windows would have done.
#include "common/host_path.h"
#include "windows_platform.h"

#include <vector>

namespace
{
// The next name of path from at, up to a separator or the end.
std::wstring nextName(const std::wstring& path, size_t& at)
{
    while (at < path.size() && isWindowsSeparator(path[at]))
        at++;
    size_t start = at;
    while (at < path.size() && !isWindowsSeparator(path[at]))
        at++;
    return path.substr(start, at - start);
}

// The full path Windows makes of a text that does not name a root itself:
// the current folder, the current drive's root ("\") or a drive's current
// folder ("C:"). Empty when there is none.
std::wstring fullPathOf(const wchar_t* text)
{
    DWORD length = GetFullPathNameW(text, 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    if (length == 0 || GetFullPathNameW(text, length, full.data(), nullptr) != length - 1)
        return std::wstring();
    full.resize(length - 1);
    return full;
}

// The root of a path that begins with two separators, \\?\C:\x,
// \\?\UNC\server\share\x, \\?\Volume{...}\x or \\server\share\x, in the
// "\\?\" form, and at moved past it; false when a share is missing.
bool doubleSeparatorRoot(const std::wstring& path, size_t& at, std::wstring& root)
{
    bool already = path.size() >= 4 && path[2] == L'?' && isWindowsSeparator(path[3]);
    at = already ? 4 : 2;
    if (already && startsWithDrive(path, at))
    {
        root = L"\\\\?\\" + path.substr(at, 2);
        at += 2;
        return true;
    }
    std::wstring first = nextName(path, at);
    bool unc = !already || _wcsicmp(first.c_str(), L"UNC") == 0;
    root = L"\\\\?\\" + (unc ? L"UNC\\" + (already ? nextName(path, at) : first) : first);
    if (!unc)
        return true;
    std::wstring share = nextName(path, at);
    if (share.empty())
        return false;
    root += L"\\" + share;
    return true;
}

// A path relative to the current folder, to the current drive's root or to
// a drive's current folder, made full; empty when there is no such folder.
std::wstring fullPathFromHere(const std::wstring& path)
{
    std::wstring base = isWindowsSeparator(path[0]) ? fullPathOf(L"\\")
                        : startsWithDrive(path)      ? fullPathOf(path.substr(0, 2).c_str())
                                                     : fullPathOf(L".");
    size_t rest = isWindowsSeparator(path[0]) ? 0 : startsWithDrive(path) ? 2 : 0;
    return base.empty() ? base : base + L"\\" + path.substr(rest);
}

// full, a root, and the names of path from at, with "." and ".." resolved.
std::wstring joinResolved(std::wstring full, const std::wstring& path, size_t at)
{
    std::vector<std::wstring> names;
    while (at < path.size())
    {
        std::wstring name = nextName(path, at);
        if (name == L"..")
        {
            if (!names.empty())
                names.pop_back();
        }
        else if (!name.empty() && name != L".")
            names.push_back(name);
    }
    for (const std::wstring& name : names)
        full += L"\\" + name;
    // A final separator stays: it asks for a folder, as on Linux.
    if (names.empty() || isWindowsSeparator(path.back()))
        full += L"\\";
    return full;
}

std::wstring verbatim(const std::wstring& path, int depth)
{
    // Device paths ("\\.\pipe\x") are left to Windows.
    if (path.empty() || depth > 1 || (path.size() >= 4 && path.compare(0, 4, L"\\\\.\\") == 0))
        return path;
    std::wstring root;
    size_t at = 0;
    if (path.size() >= 2 && isWindowsSeparator(path[0]) && isWindowsSeparator(path[1]))
    {
        if (!doubleSeparatorRoot(path, at, root))
            return path;
    }
    else if (startsWithDrive(path) && path.size() >= 3 && isWindowsSeparator(path[2]))
    {
        root = L"\\\\?\\" + path.substr(0, 2);
        at = 2;
    }
    else
    {
        std::wstring full = fullPathFromHere(path);
        return full.empty() ? path : verbatim(full, depth + 1);
    }
    return joinResolved(root, path, at);
}
}

bool toSystemPath(const char* path, std::wstring& system)
{
    std::wstring wide;
    if (!toWide(path, wide))
        return false;
    system = verbatim(wide, 0);
    return true;
}
