// The rules of the file services that hold on every system, written once
// over the primitives of platform/file_primitives.h: where a temporary file
// goes and what it may replace, how a whole file is read within a limit, how
// a copy is checked before it is made, how a removal walks a tree inside the
// folder it opened. The system's table of file services is assembled here
// from the primitives and these rules.
#pragma once

#include "platform/file_primitives.h"

#include <cstddef>
#include <string>

// What a download's temporary file is named by: its prefix, then random
// characters (see TemporaryFile::create).
inline constexpr char kDownloadPrefix[] = ".download-";

// A new file written beside its target and moved over it once complete, so
// that no half-written file is ever seen under the target's name; on every
// other way out, an exception included, it is closed and removed.
class TemporaryFile
{
  public:
    TemporaryFile() = default;
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Creates the file in target's folder under prefix and eight random
    // characters of [0-9a-z], another name while one is taken (100 at
    // most); its owner's only until replace.
    bool create(const std::string& target, const char* prefix);
    // Creates it in the same way as a copy of source, the open file at from.
    bool createCopy(const std::string& target, const char* prefix, SystemFile source, const char* from);
    bool write(const void* data, size_t size);
    bool writeAt(uint64_t offset, const void* data, size_t size);
    // With keepPermissions, gives the file those of the file it is about to
    // replace (see takePermissionsOf); then closes it and moves it over
    // target. False, target untouched, when target is anything but a
    // regular file or nothing.
    bool replace(const std::string& target, bool keepPermissions);
    // Gives the file the permissions of any new file of the user, closes it
    // and moves it to target only while nothing has that name: false, and
    // nothing moved, when something has.
    bool place(const std::string& target);

  private:
    template <class Make>
    bool createBeside(const std::string& target, const char* prefix, Make make);
    void wroteUpTo(uint64_t end);
    std::string path;
    SystemFile file;
    uint64_t position = 0;    // where write puts the next bytes
    uint64_t windowsDone = 0; // the windows of the file written whole (see wroteUpTo)
};

// Whether a name is one TemporaryFile makes with prefix, given as the text
// of a C string (an EntryPick).
bool isTemporaryName(const std::string& name, const void* prefix);

// Whether both paths name one regular file, however spelt: links followed,
// hard links alike.
bool sameRegularFile(const char* path, const char* other);

// The file services of that name, for every system.
bool readWholeFile(const char* path, size_t limit, std::string& contents);
bool replaceWholeFile(const char* path, const std::string& contents);
void removeLeftoverDownloads(const char* path);
bool removeInFolder(const char* folder, EntryPick pick, const void* context, bool recursive);
CopyOutcome copyRegularFile(const char* from, const char* to);
// Stores a body read whole at path as a download does: written beside it
// and moved over it; an empty body is nothing received.
bool storeDownloaded(const std::string& body, const char* path);
