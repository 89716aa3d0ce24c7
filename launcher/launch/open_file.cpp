// Opening a file with the application chosen, or with its default one.
#include "launch.h"
#include "common/desktop_codes.h"
#include "common/host_path.h"
#include "platform/platform.h"

// The command's result for what opening a file with its default application
// came to: the opener's own status when it failed.
static float openResult(const OpenAnswer& answer)
{
    switch (answer.outcome)
    {
    case OpenOutcome::Started: return 0;
    case OpenOutcome::FileMissing: return kFileNotFound;
    case OpenOutcome::NoApplication: return kApplicationNotFound;
    case OpenOutcome::OpenerFailed: return float(answer.openerStatus);
    case OpenOutcome::Failed: return -1;
    }
    return -1;
}

// The file opened with the chosen application, or with its default one,
// through the platform's own services.
float launchAppWithFile(const char* text, const char* buffer1, int openerWaitMilliseconds)
{
    if (!text)
        return -1;
    std::string file = hostPathToNative(text);
    if (!buffer1)
        return openResult(processServices().openWithDefaultApplication(file.c_str(), openerWaitMilliseconds));
    if (fileServices().pathKind(file.c_str()) == PathKind::Missing)
        return kFileNotFound;
    std::string application = hostPathToNative(buffer1);
    return processServices().launchApplication(application.c_str(), {fileArgument(file)}) ? 0 : kApplicationNotFound;
}
