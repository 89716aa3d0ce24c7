// Folders: making, testing, removing and emptying them, and the folders
// the host asks for.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <string>

bool createFolder(const char* path);
// The text after the last "." of an entry name; empty when the name has no
// "." or its only "." is its first byte.
std::string pathExtension(const std::string& name);
// Removes every entry of folder whose extension is exactly extension; true
// when the folder could be listed, whatever the removals did.
bool deleteFilesInFolder(const char* folder, const char* extension);
// Whether EmptyFolder removes an entry of this name: a "." comes after its
// last "\\" (the name scanned backwards meets a "." before a separator).
bool clearFolderPicks(const std::string& name);
// Removes the folder's entries that clearFolderPicks picks (files and empty
// folders); 0, or -1 when the folder cannot be opened.
float ClearFolder(const std::string& path);
std::string getSharedFolder();

float makeFolder(const char* text);
float folderExists(const char* text);
float deleteFolder(const char* text);
float deleteFilesByExtension(const char* text, const char* folder);
float emptyFolder(const char* text);
float getPublicFolder(char* buffer1, int32_t buffer1Size);
float getUserPath(char* buffer1, int32_t buffer1Size);
