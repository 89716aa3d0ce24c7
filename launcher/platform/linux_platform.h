// The Linux implementation of each platform service.
#pragma once

#include <string>
#include <vector>

bool linuxCreateFolder(const char* path);
bool linuxListFolder(const char* path, std::vector<std::string>& names);
bool linuxRemoveItem(const char* path);
std::string linuxUsersFolder();
bool linuxCopyFile(const char* from, const char* to);
