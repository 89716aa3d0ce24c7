// The few file operations each system gives the rules that are written once
// above them (file_rules.h): Linux in linux_files.cpp, Windows in
// windows_files.cpp. Paths are UTF-8.
#pragma once

#include "platform.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The characters that end a folder's name in a path: "/" on Linux, where
// "\" belongs to names, and both on Windows.
extern const char kFolderSeparators[];

// An open file of the system: a descriptor, or on Windows a handle.
struct SystemFile
{
    intptr_t value = -1;
    bool valid() const { return value != -1; }
};

enum class Creation
{
    Created,
    NameTaken, // something already has the name
    Failed,
};

// Creates a new file at path for writing, readable and writable by its owner
// only, never through a link.
Creation createPrivateFile(const std::string& path, SystemFile& file);
// Creates a new file at path as a copy of source, the open regular file at
// from: its data, and what else of it the system copies (Linux: extended
// attributes less file capabilities, permissions less set-user-ID and
// set-group-ID, times; Windows: attributes, streams and times). Nothing is
// left at path unless it answers Created.
Creation createCopy(SystemFile source, const char* from, const std::string& path, SystemFile& file);
// Opens a regular file for reading, without ever blocking on another kind
// (a FIFO nobody writes to); invalid for anything but a regular file.
SystemFile openForReading(const char* path);
// Whether the system says nothing at all has the name; a name it cannot
// look at (a folder closed to the user) is not free.
bool nameIsFree(const char* path);
bool fileSize(SystemFile file, uint64_t& size);
// Reads up to size bytes: how many, 0 at the end, -1 on failure.
int64_t readSome(SystemFile file, void* data, size_t size);
// Writes all of data; false when the disk does not take it.
bool writeAll(SystemFile file, const void* data, size_t size);
// False when the system says the data may not all have reached the file.
bool closeFile(SystemFile file);
// Gives a file the permissions of the file at target, or with none there
// those of any new file of the user (Linux: 0666 less the umask); nothing
// where files have no such permissions.
void takePermissionsOf(SystemFile file, const std::string& target);
// Whether the open file and the file path names, links followed, are one.
bool sameFile(SystemFile file, const char* path);
// Moves the file at from over to, replacing a file there.
bool moveOver(const std::string& from, const std::string& to);
// Removes the file at path, even a read-only one.
void removeCreated(const std::string& path);
// Fills data with random bytes from the system, for names nobody can guess;
// false when it has none to give.
bool randomBytes(void* data, size_t size);
// Removes the regular files of a folder that pick takes by name, each as
// listed: a link, a folder or any other kind stays, and a link put in a
// file's place meanwhile goes itself, never what it leads to.
void removeRegularFiles(const std::string& folder, EntryPick pick, const void* context);
