#include "command_names.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

static std::string join(unsigned libraries, std::initializer_list<std::pair<Library, const char*>> names)
{
    std::string out;
    for (auto [bit, name] : names)
        if (libraries & bit)
            out += (out.empty() ? "" : ", ") + std::string(name);
    return out;
}

std::string libraryNames(unsigned libraries)
{
    return join(libraries, {{LibBrindle, "Brindle (Linux)"},
                            {LibBrindleWin, "Brindle.dll (Windows)"},
                            {LibLauncher, "TesmarLauncherDLL (Linux)"},
                            {LibLauncherWin, "TesmarLauncherDLL.dll (Windows)"}});
}

std::string librariesHere(unsigned libraries)
{
#if defined(_WIN32)
    std::string here = join(libraries, {{LibBrindleWin, "Brindle.dll"}, {LibLauncherWin, "TesmarLauncherDLL.dll"}});
#else
    std::string here = join(libraries, {{LibBrindle, "Brindle"}, {LibLauncher, "TesmarLauncherDLL"}});
#endif
    return here.empty() ? libraryNames(libraries) : here;
}

std::string libraryName(const std::string& path)
{
    std::string name = path.substr(path.find_last_of("/\\") + 1);
#if !defined(_WIN32)
    if (name.starts_with("lib"))
        name.erase(0, 3);
    if (name.ends_with(".so"))
        name.resize(name.size() - 3);
#endif
    return name;
}

// Edits (insertions, removals, replacements) between two names, case aside.
static size_t distance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); j++)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); i++)
    {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); j++)
        {
            bool same = std::tolower((unsigned char)a[i - 1]) == std::tolower((unsigned char)b[j - 1]);
            size_t next = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = row[j];
            row[j] = next;
        }
    }
    return row[b.size()];
}

const CommandInfo& closestCommand(const std::string& name)
{
    const CommandInfo* best = &kCommands[0];
    size_t bestDistance = distance(name, best->name);
    for (size_t c = 1; c < kCommandCount; c++)
    {
        size_t d = distance(name, kCommands[c].name);
        if (d < bestDistance)
        {
            best = &kCommands[c];
            bestDistance = d;
        }
    }
    return *best;
}
