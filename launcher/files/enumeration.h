// Folder enumeration over one open stream, and the count of a folder's
// entries.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <string>

// The open folder stream of the enumeration commands. A folder a script
// left open is closed when the library is unloaded, so that nothing it held
// outlives it.
struct OpenFolderStream
{
    FolderStream* stream = nullptr;
    ~OpenFolderStream();
};
extern OpenFolderStream g_folderStream;

// Folder enumeration over one open stream, which the caller keeps.
float openFolder(FolderStream*& stream, const char* text);
float getFile(FolderStream*& stream, char* buffer1, int32_t buffer1Size);
float closeFolder(FolderStream*& stream);
// The number of a folder's entries other than "." and ".."; -1 when it cannot
// be opened.
float GetFileNo(std::string path);
float getFileNumber(const char* text);
