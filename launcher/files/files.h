// File system commands: host paths, folders, folder enumeration, file
// operations, dialogs and small queries, as plain functions behind the
// commands.
#pragma once

#include "common/command.h"
#include "common/host_path.h"
#include "platform/platform.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// Folders.
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

// Folder enumeration over one open stream, which the caller keeps.
extern FolderStream* g_folderStream;
float openFolder(FolderStream*& stream, const char* text);
float getFile(FolderStream*& stream, char* buffer1, int32_t buffer1Size);
float closeFolder(FolderStream*& stream);
// The number of a folder's entries other than "." and ".."; -1 when it cannot
// be opened.
float GetFileNo(std::string path);
float getFileNumber(const char* text);

// File operations.
float fileDelete(const char* text);
float fileRename(const char* text, const char* buffer1);
float fileCopyTo(const char* text, const char* buffer1);

// Dialogs. The chosen-files list is replaced only by an accepted file panel.
extern std::vector<std::string> g_chosenFiles;
// The type list with every "." and blank removed.
std::string cleanTypeList(const std::string& list);
// The extensions of a cleaned type list, split at ",", empty ones left out.
std::vector<std::string> splitTypeList(const std::string& list);
// Shows the open-files panel; the number of files chosen, which replace the
// list, or 0 when cancelled (the list stays).
int chooseFilesInPanel(std::vector<std::string>& files, const char* title, const std::string& types);
// The chosen folder; empty when cancelled.
std::string chooseFolderInPanel(const char* title);
// The file at a 0-based index with its symbolic links resolved; false when
// the index lies outside the list.
bool fileFromArray(const std::vector<std::string>& files, int64_t index, std::string& path);
void clearFilesL(std::vector<std::string>& files);

float getFilesDialog(std::vector<std::string>& files, const char* title, char* buffer1, int32_t buffer1Size);
float getFilePath(const std::vector<std::string>& files, double value, char* buffer1, int32_t buffer1Size);
float chooseFolder(char* buffer1, int32_t buffer1Size);

// The colour picker. A default colour text is three components from 0 to
// 65535 separated by commas; false when the text does not read so.
bool readDefaultColor(const std::string& text, RgbColor& color);
float getColorPicker(char* buffer1, int32_t buffer1Size);

// Small queries.
// Local time as month-day-year,hour:minute:second on the 12-hour clock.
std::string currentTimeText(time_t now);
float grabCurrentTime(char* buffer1, int32_t buffer1Size);

class TesmarLauncher
{
  public:
    TESMAR_EXPORT void HelloWorld(const char* text);
};

class TesmarLauncherPriv
{
  public:
    void HelloWorldPriv(const char* text);
};
