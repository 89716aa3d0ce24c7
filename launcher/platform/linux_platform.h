// The Linux implementation of each platform service.
#pragma once

#include "platform.h"

#include <spawn.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The argument vector of a program to spawn: program, then the arguments, as
// the pointers posix_spawn takes, ending in null. The pointers lead into
// words, which the caller keeps until the spawn is done.
std::vector<char*> argumentVector(std::vector<std::string>& words);

// How the libraries start a program: an empty signal mask and every signal's
// default action, and optionally a session of its own.
struct SpawnSetup
{
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;

    explicit SpawnSetup(bool ownSession);
    ~SpawnSetup();
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    // Closes every descriptor above standard error in the program; added
    // after the actions that set up its standard streams.
    void closeTheRest();
};

// An open descriptor, closed when the object goes.
struct Descriptor
{
    int number = -1;

    explicit Descriptor(int opened) : number(opened) {}
    ~Descriptor();
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
};

bool linuxLaunchApplication(const char* path, const std::vector<std::string>& arguments);
void linuxRunningApplications(std::vector<std::string>& names);
OpenAnswer linuxOpenWithDefaultApplication(const char* path, int waitMilliseconds);

ScreenLayout linuxScreenLayout();
bool linuxFirstWindowFullScreen();
void linuxToggleFirstWindowFullScreen();
bool linuxKeyboardMap(KeyboardMap& map);
void linuxPostKeys(const std::vector<KeyEvent>& events);
void linuxPostClick(int32_t x, int32_t y);
bool linuxHttpExchange(const HttpRequest& request, HttpAnswer& answer);
CompanionOutcome linuxExchangeWithCompanion(uint16_t port, const char* message, size_t length, int waitMilliseconds);

bool linuxOpenFilesPanel(const char* title, const std::vector<std::string>& extensions,
                         std::vector<std::string>& paths);
bool linuxChooseFolderPanel(const char* title, std::string& folder);
ColorAnswer linuxColorPanel(const RgbColor& initial);
