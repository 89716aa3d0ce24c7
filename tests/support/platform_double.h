// A test double of the platform services: it records what the commands ask
// and answers from the state a test sets up, with no display and no real
// files. The files and folders it knows of are all there is for it; a
// service it does not model ends the test at once, naming the service,
// rather than reaching the real system.
#pragma once

#include "platform/platform.h"

#include <map>
#include <set>
#include <string>
#include <vector>

struct PlatformDouble
{
    std::vector<std::string> calls; // "service argument..." per call, in order

    // Files: the folders and the files with their contents. A folder the
    // commands create is added; "/" is there from the start.
    std::set<std::string> folders = {"/"};
    std::map<std::string, std::string> files;
    bool listFolderAnswer = true; // the folder of a removal opens
    std::vector<std::string> listing; // the names it holds
    std::string usersFolder = "/home";
    std::string homeFolder;
    // Processes.
    bool launchAnswer = true;
    std::vector<std::string> running;
    OpenAnswer openAnswer = {OpenOutcome::Started}; // of the default application
    // Desktop.
    ScreenLayout screens;
    bool keyboardAnswer = true;
    KeyboardMap keyboard;
    std::vector<KeyEvent> postedKeys; // every key event posted, in order
    bool openFilesAnswer = false; // the user accepts the open-files panel
    std::vector<std::string> chosenFiles;
    std::vector<std::string> offeredExtensions; // of the last open-files panel
    bool chooseFolderAnswer = false;
    std::string chosenFolder;
    ColorAnswer colorAnswer = {false, false, {}};
    RgbColor presetColor; // of the last colour panel
    // Network: the answers of the HTTP exchanges in the order they are asked
    // for (one past the last fails, as with no network), and the requests.
    std::vector<HttpAnswer> httpAnswers;
    std::vector<HttpRequest> httpRequests;

    // Installs this double as the platform until it is destroyed.
    PlatformDouble();
    ~PlatformDouble();
    PlatformDouble(const PlatformDouble&) = delete;
    PlatformDouble& operator=(const PlatformDouble&) = delete;
};
