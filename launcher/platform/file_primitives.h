// The file operations each system gives: Linux in linux_files.cpp, Windows
// in windows_files.cpp. The file services are these and the rules written
// once above them (file_rules/file_rules.h), which also assemble the
// system's table of services. Paths are UTF-8.
#pragma once

#include "files.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The file services that each system carries out as they are (see files.h).
bool createNewFolder(const char* path);
bool removeEntry(const char* path);
bool removeFile(const char* path);
PathKind pathKind(const char* path);
bool removeFolder(const char* path);
bool renameEntry(const char* from, const char* to);
FolderStream* openFolderStream(const char* path);
bool nextFolderEntry(FolderStream* stream, std::string& name);
void closeFolderStream(FolderStream* stream);
FILE* openFile(const char* path);
bool bytesLeft(FILE* file, uint64_t& bytes);
bool skipBytes(FILE* file, uint64_t bytes);
std::string resolveLinks(const char* path);
std::string usersFolder();
std::string homeFolder();

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
// The same at offset, wherever the file's position stands.
bool writeAllAt(SystemFile file, uint64_t offset, const void* data, size_t size);
// Writing behind a large file written once from its start: starts the
// writing to the disk of a range already written, without waiting for it.
void startWriting(SystemFile file, uint64_t offset, uint64_t size);
// Waits until a range written earlier has reached the disk, then lets the
// system's cache drop it. Both are nothing on a system whose cache already
// writes such files behind (Windows).
void releaseWritten(SystemFile file, uint64_t offset, uint64_t size);
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
// Moves the file at from to the name to only while nothing has that name.
bool moveToFreeName(const std::string& from, const std::string& to);
// Removes the file at path, even a read-only one.
void removeCreated(const std::string& path);
// Fills data with random bytes from the system, for names nobody can guess;
// false when it has none to give.
bool randomBytes(void* data, size_t size);

// A folder opened once for removals inside it, and the way down from it to
// the folder now entered; entries are named relative to that folder, never
// by a path, so that a folder renamed or replaced by a link meanwhile never
// redirects the work elsewhere. Linux keeps one descriptor open however deep
// the way; Windows holds each folder of the way open without sharing its
// deletion.
struct FolderWalk;

enum class EntryKind
{
    Folder, // a folder itself, never a link to one
    Regular,
    Other, // a link of any kind, a FIFO, a device, a socket
};

struct FolderEntry
{
    std::string name;
    EntryKind kind = EntryKind::Other;
};

// Opens the folder at path, links followed, as the walk's first; null when
// it cannot be opened.
FolderWalk* openFolderWalk(const char* path);
void closeFolderWalk(FolderWalk* walk);
// The entries of the folder now entered, without "." and ".."; false when
// it cannot be listed.
bool listEntries(FolderWalk* walk, std::vector<FolderEntry>& entries);
// Enters the folder name of the folder now entered, never through a link;
// false, the walk where it was, when it cannot be entered.
bool enterFolder(FolderWalk* walk, const std::string& name);
// Goes back to the folder entered before the one now entered, which must be
// the very folder it was; false when it is not, the walk then back at its
// first folder.
bool leaveFolder(FolderWalk* walk);
// Removes an entry of the folder now entered that is no folder: a file,
// read-only too, or a link itself, never what it leads to.
bool removeFileHere(FolderWalk* walk, const std::string& name);
// Removes an empty folder of the folder now entered.
bool removeFolderHere(FolderWalk* walk, const std::string& name);
