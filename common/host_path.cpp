#include "host_path.h"

bool isNativeAbsolutePath(const std::string& text, PathStyle style)
{
    if (!text.empty() && text[0] == '/')
        return true;
    if (style != PathStyle::Windows)
        return false;
    bool driveLetter = startsWithDrive(text) && text.size() >= 3 && isWindowsSeparator(text[2]);
    bool unc = text.size() >= 2 && text[0] == '\\' && text[1] == '\\';
    return driveLetter || unc;
}

std::string fileArgument(const std::string& path)
{
    return path.starts_with('-') ? "./" + path : path;
}

std::string hostPathToNative(const std::string& hostPath, PathStyle style)
{
    if (isNativeAbsolutePath(hostPath, style))
        return hostPath;
    size_t colon = hostPath.find(':');
    return colon == std::string::npos ? hostPath : hostPath.substr(colon + 1);
}
