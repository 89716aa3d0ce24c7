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

    // Applications.
    // Starts the application at path with the arguments in order, without
    // waiting for it; true once it runs (false for a missing or
    // non-executable file, or a folder).
    bool (*launchApplication)(const char* path, const std::vector<std::string>& arguments);
    // Names of the running applications, in the platform's order.
    void (*runningApplications)(std::vector<std::string>& names);
    // Opens a file with its default application: 0, or the desktop's error
    // code (-43 for a missing file).
    int (*openWithDefaultApplication)(const char* path);
    // Creates the folder name inside parent ("" is the root folder): 0 when
    // it was created or is already a folder, 1 otherwise.
    int (*createFolderIn)(const char* parent, const char* name);
    // Runs a text of the desktop's scripting language; its status, 0 when it ran.
    int (*runScript)(const char* text, size_t length);
};

// Desktop error codes the commands pass on.
enum : int
{
    kFileNotFound = -43,
    kNoScriptingComponent = -50,
    kApplicationNotFound = -10814,
};

// The services in use: the Linux ones unless a test installed others.
const PlatformServices& platform();
// Installs services for tests; null restores the Linux services.
void installPlatform(const PlatformServices* services);
const PlatformServices& linuxPlatform();
