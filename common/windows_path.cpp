#include "windows_path.h"

#include "host_path.h"

#include <vector>

namespace
{
// The next name of path from at, up to a separator or the end.
std::string nextName(const std::string& path, size_t& at)
{
    while (at < path.size() && isWindowsSeparator(path[at]))
        at++;
    size_t start = at;
    while (at < path.size() && !isWindowsSeparator(path[at]))
        at++;
    return path.substr(start, at - start);
}

bool isUncWord(const std::string& name)
{
    return name.size() == 3 && (name[0] | 0x20) == 'u' && (name[1] | 0x20) == 'n' && (name[2] | 0x20) == 'c';
}

// The root of a path that begins with two separators, \\?\C:\x,
// \\?\UNC\server\share\x, \\?\Volume{...}\x or \\server\share\x, in the
// "\\?\" form, and at moved past it; false when a share is missing.
bool doubleSeparatorRoot(const std::string& path, size_t& at, std::string& root)
{
    bool already = path.size() >= 4 && path[2] == '?' && isWindowsSeparator(path[3]);
    at = already ? 4 : 2;
    if (already && startsWithDrive(path, at))
    {
        root = "\\\\?\\" + path.substr(at, 2);
        at += 2;
        return true;
    }
    std::string first = nextName(path, at);
    bool unc = !already || isUncWord(first);
    root = "\\\\?\\" + (unc ? "UNC\\" + (already ? nextName(path, at) : first) : first);
    if (!unc)
        return true;
    std::string share = nextName(path, at);
    if (share.empty())
        return false;
    root += "\\" + share;
    return true;
}

// A path relative to the current folder, to the current drive's root or to
// a drive's current folder, made full; empty when there is no such folder.
std::string fullPathFromHere(const std::string& path, FullPathOf fullPathOf)
{
    std::string base = isWindowsSeparator(path[0]) ? fullPathOf("\\")
                       : startsWithDrive(path)      ? fullPathOf(path.substr(0, 2))
                                                    : fullPathOf(".");
    size_t rest = isWindowsSeparator(path[0]) ? 0 : startsWithDrive(path) ? 2 : 0;
    return base.empty() ? base : base + "\\" + path.substr(rest);
}

// full, a root, and the names of path from at, with "." and ".." resolved.
std::string joinResolved(std::string full, const std::string& path, size_t at)
{
    std::vector<std::string> names;
    while (at < path.size())
    {
        std::string name = nextName(path, at);
        if (name == "..")
        {
            if (!names.empty())
                names.pop_back();
        }
        else if (!name.empty() && name != ".")
            names.push_back(name);
    }
    for (const std::string& name : names)
        full += "\\" + name;
    if (names.empty() || isWindowsSeparator(path.back()))
        full += "\\";
    return full;
}

std::string verbatim(const std::string& path, FullPathOf fullPathOf, int depth)
{
    if (path.empty() || depth > 1 || path.starts_with("\\\\.\\"))
        return path;
    std::string root;
    size_t at = 0;
    if (path.size() >= 2 && isWindowsSeparator(path[0]) && isWindowsSeparator(path[1]))
    {
        if (!doubleSeparatorRoot(path, at, root))
            return path;
    }
    else if (startsWithDrive(path) && path.size() >= 3 && isWindowsSeparator(path[2]))
    {
        root = "\\\\?\\" + path.substr(0, 2);
        at = 2;
    }
    else
    {
        std::string full = fullPathFromHere(path, fullPathOf);
        return full.empty() ? path : verbatim(full, fullPathOf, depth + 1);
    }
    return joinResolved(root, path, at);
}
}

std::string verbatimWindowsPath(const std::string& path, FullPathOf fullPathOf)
{
    return verbatim(path, fullPathOf, 0);
}
