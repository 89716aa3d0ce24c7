// The file and folder panels and the list of the files chosen in them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The chosen-files list, replaced only by an accepted file panel.
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
