#include "host_path.h"

static bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

bool isNativeAbsolutePath(const std::string& text, PathStyle style)
{
    if (!text.empty() && text[0] == '/')
        return true;
    if (style != PathStyle::Windows)
        return false;
    bool driveLetter = text.size() >= 3 && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z')) &&
                       text[1] == ':' && isSeparator(text[2]);
    bool unc = text.size() >= 2 && text[0] == '\\' && text[1] == '\\';
    return driveLetter || unc;
}

std::string MakeMacPath(const std::string& hostPath, PathStyle style)
{
    if (isNativeAbsolutePath(hostPath, style))
        return hostPath;
    size_t colon = hostPath.find(':');
    return colon == std::string::npos ? hostPath : hostPath.substr(colon + 1);
}
