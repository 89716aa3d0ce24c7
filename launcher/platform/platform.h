// The desktop services the launcher's commands need, behind one interface:
// the Linux implementation serves the libraries, and tests install a double.
// Each service is named for what it does. Later subsystems add theirs here.
#pragma once

#include <string>
#include <vector>

struct PlatformServices
{
    // Files.
    // Creates one folder, not its missing parents; true when it was created.
    bool (*createFolder)(const char* path);
    // Names of a folder's entries, without "." and ".."; false when the folder
    // cannot be listed.
    bool (*listFolder)(const char* path, std::vector<std::string>& names);
    // Removes a file, or a folder with everything inside it.
    bool (*removeItem)(const char* path);
    // The folder that holds the users' home folders; empty when unknown.
    std::string (*usersFolder)();
    // Copies a file's data, permissions, times and extended attributes; the
    // destination appears only once it is complete.
    bool (*copyFile)(const char* from, const char* to);
};

// The services in use: the Linux ones unless a test installed others.
const PlatformServices& platform();
// Installs services for tests; null restores the Linux services.
void installPlatform(const PlatformServices* services);
const PlatformServices& linuxPlatform();
