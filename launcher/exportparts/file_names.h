// The names an export or the update check takes apart: paths at their
// separators, mesh lists at their NULs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The parts of a path that the commands take, split at its last "/" or "\\".
enum class PathPart
{
    Folder, // up to its last separator, which it keeps; empty without one
    Stem,   // the file name up to its last "."
};
std::string FileNameExtract(const std::string& path, PathPart part);

// The entries of a mesh list: NUL-terminated texts packed within size bytes;
// an entry that runs to the end of the list ends there. There is always at
// least one entry (empty when the list is).
std::vector<std::string> splitMeshList(const char* list, int32_t size);
