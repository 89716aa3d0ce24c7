// A test double of the platform services: it records what the commands ask
// and answers as a test sets it up, with no display and no real files.
#pragma once

#include "platform.h"

#include <string>
#include <vector>

struct PlatformDouble
{
    std::vector<std::string> calls; // "service argument..." per call, in order

    bool createFolderAnswer = true;
    bool listFolderAnswer = true; // the folder of a removal opens
    std::vector<std::string> listing; // the names it holds
    std::string usersFolder = "/home";
    CopyOutcome copyOutcome = CopyOutcome::Copied;
    bool launchAnswer = true;
    std::vector<std::string> running;
    int openAnswer = 0;
    int createFolderInAnswer = 0;
    bool downloadAnswer = false;
    ScreenLayout screens;
    bool fullScreen = false;
    bool keyboardAnswer = true;
    KeyboardMap keyboard;
    std::vector<KeyEvent> postedKeys; // every key event posted, in order
    bool openFilesAnswer = false; // the user accepts the open-files panel
    std::vector<std::string> chosenFiles;
    std::vector<std::string> offeredExtensions; // of the last open-files panel
    bool chooseFolderAnswer = false;
    std::string chosenFolder;
    ColorAnswer colorAnswer = {kUserCancelled, false, {}};
    RgbColor presetColor; // of the last colour panel

    // Installs this double as the platform until it is destroyed.
    PlatformDouble();
    ~PlatformDouble();
    PlatformDouble(const PlatformDouble&) = delete;
    PlatformDouble& operator=(const PlatformDouble&) = delete;
};
