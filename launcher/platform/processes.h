// The process group: starting applications, listing the running ones and
// opening a file with its default application.
#pragma once

#include <string>
#include <vector>

// What opening a file with its default application came to.
enum class OpenOutcome
{
    Started,
    FileMissing,
    NoApplication, // none for this file, or no opener at all
    OpenerFailed,  // the opener ended with openerStatus
    Failed,
};

struct OpenAnswer
{
    OpenOutcome outcome = OpenOutcome::Failed;
    int openerStatus = 0; // 1 to 255, for OpenerFailed
};

struct ProcessServices
{
    // Starts the application at path with the arguments in order, without
    // waiting for it; true once it runs (false for a missing or
    // non-executable file, or a folder).
    bool (*launchApplication)(const char* path, const std::vector<std::string>& arguments);
    // Names of the calling user's running applications, in the platform's order.
    void (*runningApplications)(std::vector<std::string>& names);
    // Opens a file with its default application. Waits waitMilliseconds at
    // most for a separate opener to report: one still running then counts
    // as started.
    OpenAnswer (*openWithDefaultApplication)(const char* path, int waitMilliseconds);
};
