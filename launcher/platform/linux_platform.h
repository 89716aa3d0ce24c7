// The Linux implementation of each platform service.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The argument vector of a program to spawn: program, then the arguments, as
// the pointers posix_spawn takes, ending in null. The pointers lead into
// words, which the caller keeps until the spawn is done.
std::vector<char*> argumentVector(std::vector<std::string>& words);

bool linuxCreateFolder(const char* path);
bool linuxListFolder(const char* path, std::vector<std::string>& names);
bool linuxRemoveItem(const char* path);
std::string linuxUsersFolder();
bool linuxCopyFile(const char* from, const char* to);

bool linuxLaunchApplication(const char* path, const std::vector<std::string>& arguments);
void linuxRunningApplications(std::vector<std::string>& names);
int linuxOpenWithDefaultApplication(const char* path);
int linuxCreateFolderIn(const char* parent, const char* name);
int linuxRunScript(const char* text, size_t length);

struct ScreenLayout;
struct KeyboardMap;
struct KeyEvent;
ScreenLayout linuxScreenLayout();
bool linuxFirstWindowFullScreen();
void linuxToggleFirstWindowFullScreen();
bool linuxKeyboardMap(KeyboardMap& map);
void linuxPostKeys(const std::vector<KeyEvent>& events);
void linuxPostClick(int32_t x, int32_t y);
bool linuxDownload(const char* url, const char* path);

struct RgbColor;
struct ColorAnswer;
bool linuxOpenFilesPanel(const char* title, const std::vector<std::string>& extensions,
                         std::vector<std::string>& paths);
bool linuxChooseFolderPanel(const char* title, std::string& folder);
ColorAnswer linuxColorPanel(const RgbColor& initial);
