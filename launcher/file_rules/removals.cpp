// Removals inside a folder opened once, over the walk of file_primitives.h:
// the folder is never named again by its path, and a tree is removed depth
// first with its way down on the heap, as a tree may be deeper than any
// stack or path.
#include "file_rules.h"

namespace
{
// A walk, closed when the object goes.
struct Walk
{
    FolderWalk* walk;
    explicit Walk(const char* path) : walk(openFolderWalk(path)) {}
    ~Walk()
    {
        if (walk)
            closeFolderWalk(walk);
    }
    Walk(const Walk&) = delete;
    Walk& operator=(const Walk&) = delete;
};

// A folder entered on the way down: its name in the folder above, and the
// folders inside it still to remove.
struct Level
{
    std::string name;
    std::vector<std::string> folders;
};

// Enters the folder name, removes what in it is no folder and puts it on the
// way with the names of the folders it holds. A folder that cannot be
// entered or listed stays: true, the way as it was, unless the walk lost its
// way back.
bool descend(FolderWalk* walk, std::vector<Level>& way, const std::string& name)
{
    std::vector<FolderEntry> entries;
    if (!enterFolder(walk, name))
        return true;
    if (!listEntries(walk, entries))
        return leaveFolder(walk);
    Level level{name, {}};
    for (FolderEntry& entry : entries)
    {
        if (entry.kind == EntryKind::Folder)
            level.folders.push_back(std::move(entry.name));
        else
            removeFileHere(walk, entry.name);
    }
    way.push_back(std::move(level));
    return true;
}

// Removes the folder name of the folder now entered with everything inside
// it; false when it stays, or when a folder left did not lead back to the
// one entered before it (the tree was moved meanwhile: it is left alone).
bool removeTree(FolderWalk* walk, const std::string& name)
{
    std::vector<Level> way;
    if (!descend(walk, way, name) || way.empty())
        return false;
    for (;;)
    {
        Level& level = way.back();
        if (level.folders.empty())
        {
            std::string done = std::move(level.name);
            way.pop_back();
            if (!leaveFolder(walk))
                return false;
            if (way.empty())
                return removeFolderHere(walk, done);
            removeFolderHere(walk, done);
            continue;
        }
        std::string child = std::move(level.folders.back());
        level.folders.pop_back();
        // An empty folder goes at once.
        if (!removeFolderHere(walk, child) && !descend(walk, way, child))
            return false;
    }
}

// Removes one entry of the folder now entered: a link as a link, never
// followed; a folder when it is empty, or with everything inside it when
// recursive.
void removeFound(FolderWalk* walk, const FolderEntry& entry, bool recursive)
{
    if (entry.kind != EntryKind::Folder)
        removeFileHere(walk, entry.name);
    else if (!removeFolderHere(walk, entry.name) && recursive)
        removeTree(walk, entry.name);
}
}

bool removeInFolder(const char* folder, EntryPick pick, const void* context, bool recursive)
{
    Walk opened(folder);
    std::vector<FolderEntry> entries;
    if (!opened.walk || !listEntries(opened.walk, entries))
        return false;
    for (const FolderEntry& entry : entries)
        if (pick(entry.name, context))
            removeFound(opened.walk, entry, recursive);
    return true;
}

void removeLeftoverDownloads(const char* path)
{
    std::string target = path;
    size_t at = target.find_last_of(kFolderSeparators);
    Walk opened(at == std::string::npos ? "." : target.substr(0, at + 1).c_str());
    std::vector<FolderEntry> entries;
    if (!opened.walk || !listEntries(opened.walk, entries))
        return;
    // Only regular files: a link or anything else of that name stays.
    for (const FolderEntry& entry : entries)
        if (entry.kind == EntryKind::Regular && isTemporaryName(entry.name, kDownloadPrefix))
            removeFileHere(opened.walk, entry.name);
}
