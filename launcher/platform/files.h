// The file group: folders, entries, reading, and the rules of copying and
// replacing whole files (see file_rules/file_rules.h).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// What a path names.
enum class PathKind
{
    Missing,
    Regular,
    Folder,
    Other, // a FIFO, a device, a socket
};

enum class CopyOutcome
{
    Copied,
    SameFile, // both paths name one file: nothing to do
    SourceMissing,
    Refused, // a source or a destination that is not a regular file
    Failed,
};

// An open listing of a folder's entries.
struct FolderStream;

// Decides by an entry's name whether a removal takes it.
using EntryPick = bool (*)(const std::string& name, const void* context);

struct FileServices
{
    // Creates one folder, not its missing parents; true when it was created.
    bool (*createFolder)(const char* path);
    // Removes the entries of a folder that pick takes by name: files and
    // links, and folders too, with everything inside them when recursive,
    // otherwise only when empty. The folder is opened once and all the work
    // is done inside it as opened, so that a folder renamed or replaced by a
    // link meanwhile never redirects a removal elsewhere. False when the
    // folder cannot be opened.
    bool (*removeInFolder)(const char* folder, EntryPick pick, const void* context, bool recursive);
    // Removes a file, a link or an empty folder; true when it was removed.
    bool (*removeEntry)(const char* path);
    // Removes a regular file or a link (never what the link leads to); a
    // folder, a FIFO, a socket or a device stays. True when it was removed.
    bool (*removeFile)(const char* path);
    // What a path names now, following links.
    PathKind (*pathKind)(const char* path);
    // Removes an empty folder; true when it was removed.
    bool (*removeFolder)(const char* path);
    // Moves an entry to a new name. A file replaces a file of that name; a
    // folder never replaces a file, nor a file a folder.
    bool (*renameEntry)(const char* from, const char* to);
    // Opens a folder's listing; null when it cannot be listed.
    FolderStream* (*openFolderStream)(const char* path);
    // The next entry's name, "." and ".." included where the system lists
    // them; false at the end.
    bool (*nextFolderEntry)(FolderStream* stream, std::string& name);
    void (*closeFolderStream)(FolderStream* stream);
    // Opens a file for reading in binary mode without ever blocking on a
    // special file: null unless path names a regular file. (Files are
    // written through the temporary-file rule, never in place.)
    FILE* (*openFile)(const char* path);
    // The bytes between an open file's position and its end.
    bool (*bytesLeft)(FILE* file, uint64_t& bytes);
    // Moves an open file's position forward by bytes, with positions of 64
    // bits (past 2 and 4 GiB) on every system.
    bool (*skipBytes)(FILE* file, uint64_t bytes);
    // The path of the file path names with every link resolved; empty when
    // it cannot be resolved.
    std::string (*resolveLinks)(const char* path);
    // The folder that holds the users' home folders; empty when unknown.
    std::string (*usersFolder)();
    // The user's home folder as the environment gives it; empty when unset.
    std::string (*homeFolder)();
    // Copies a regular file's data, permissions (less set-user-ID and
    // set-group-ID), times and extended attributes (less file
    // capabilities); the destination appears
    // only once it is complete. The source is opened without blocking, and
    // a destination that exists must be a regular file.
    CopyOutcome (*copyFile)(const char* from, const char* to);
    // Reads a regular file whole, without blocking on any other kind; false
    // when it cannot be read or holds more than limit bytes.
    bool (*readFile)(const char* path, size_t limit, std::string& contents);
    // Replaces a file's contents: written beside it and moved over it, so
    // that it is never seen half-written; the file keeps its permissions.
    // Anything but a regular file in its place is left alone: false.
    bool (*replaceFile)(const char* path, const std::string& contents);
    // Removes what downloads to path left beside it when their process was
    // killed midway: the regular files of its folder named exactly as a
    // download's temporary files are, never a link or anything else.
    void (*removeLeftoverDownloads)(const char* path);
};
