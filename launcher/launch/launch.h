// Launching applications, asking whether one runs, opening files with an
// application, and the older folder command's folder making.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Launches, each answering whether the application runs.
bool runApp(const std::string& app, const std::vector<std::string>& sixArguments);
bool runAppSingleArg(const std::string& app, const std::string& argument);
bool runAppWithArgs(const std::string& app, const std::string& arguments);
// Whether a running application's name contains name (case-sensitive); an
// empty name matches nothing.
bool isAppRunning(const std::string& name);

// The parts of text between "\n" separators, empty ones included: "a\n"
// gives "a" and "", and an empty text one empty part.
std::vector<std::string> splitLines(const std::string& text);
// The first count lines of text, each converted as a host path; missing
// lines are empty.
std::vector<std::string> hostPathLines(const std::string& text, size_t count);

float startApp(const char* buffer1);
float startAppArg(const char* text, const char* buffer1);
float startWithArgs(const char* text, const char* buffer1);
float runAppWithArgsCommand(const char* text, const char* buffer1);
float runAppWithFile(const char* text, const char* buffer1);
float isAppRunningCommand(const char* text);

// How long a file opener is waited for, whose status the command answers;
// one still running then (a viewer, say) counts as started.
constexpr int kOpenerWaitMilliseconds = 5000;
float launchAppWithFile(const char* text, const char* buffer1, int openerWaitMilliseconds = kOpenerWaitMilliseconds);
float makeFolderOld(const char* text);
