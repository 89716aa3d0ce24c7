#include "file_operations.h"
#include "common/host_path.h"
#include "platform/platform.h"

float fileDelete(const char* text)
{
    if (!text)
        return -1;
    return fileServices().removeEntry(hostPathToNative(text).c_str()) ? 0 : -1;
}

float fileRename(const char* text, const char* buffer1)
{
    if (!text || !buffer1)
        return -1;
    return fileServices().renameEntry(hostPathToNative(text).c_str(), hostPathToNative(buffer1).c_str()) ? 0 : -1;
}

float fileCopyTo(const char* text, const char* buffer1)
{
    if (!text || !buffer1)
        return -1;
    std::string from = hostPathToNative(text);
    std::string to = hostPathToNative(buffer1);
    // Whether the copy succeeded is not reported: scripts rely on 0 here. A
    // missing source or a failed copy leaves no old file behind; a file
    // copied onto itself, or a special file on either side, is left alone,
    // and so is a folder of the destination's name.
    CopyOutcome outcome = fileServices().copyFile(from.c_str(), to.c_str());
    if (outcome == CopyOutcome::SourceMissing || outcome == CopyOutcome::Failed)
        fileServices().removeFile(to.c_str());
    return 0;
}
