#include "launch.h"
#include "host_path.h"
#include "platform.h"


int SimpleRunAppleScript(const char* text, size_t length)
{
    return platform().runScript(text, length);
}

std::string openFileScript(const std::string& file, const std::string* application)
{
    std::string script = "set filePath to POSIX file \"" + file;
    if (application)
        script += "\" \r set appPath to POSIX file \"" + *application +
                  "\" \r tell application \"Finder\" \r open filePath using appPath \r end tell";
    else
        script += "\" \r tell application \"Finder\" \r open filePath \r end tell";
    return script;
}

std::string makeFolderScript(const std::string& name, const std::string& parent)
{
    return "set newFolder to \"" + name + "\" \r set targetFolder to \"" + parent +
           "\" \r do shell script \"cd \" & quoted form of POSIX path of targetFolder & \"; mkdir -p \" & "
           "quoted form of newFolder";
}

std::string colorPickerScript(const std::string& defaultColor)
{
    return "property mycolor : {" + defaultColor +
           "} \r set newcolor to choose color default color mycolor"
           "\r set red to round (first item of newcolor) / 257"
           "\r set green to round (second item of newcolor) / 257"
           "\r set blue to round (third item of newcolor) / 257"
           "\r set exportcolor to (red * 65536) + (green * 256) + blue"
           "\r set rgb_text to exportcolor as string"
           "\r set the clipboard to rgb_text";
}

std::string fileArgument(const std::string& path)
{
    return path.starts_with('-') ? "./" + path : path;
}

// The desktop opens the file through its file manager by running the script
// text; here the same is done with the platform's own services.
float launchAppWithFile(const char* text, const char* buffer1)
{
    if (!text)
        return -1;
    std::string file = MakeMacPath(text);
    if (!buffer1)
        return float(platform().openWithDefaultApplication(file.c_str()));
    if (platform().pathKind(file.c_str()) == PathKind::Missing)
        return kFileNotFound;
    std::string application = MakeMacPath(buffer1);
    return platform().launchApplication(application.c_str(), {fileArgument(file)}) ? 0 : kApplicationNotFound;
}

float makeFolderOld(const char* text)
{
    if (!text)
        return -1;
    std::string path = MakeMacPath(text);
    if (path.empty())
        return -3;
    size_t separator = path.find_last_of("/\\");
    // Without a separator the parent would be the name itself: the shell
    // command fails, and so does this.
    if (separator == std::string::npos)
        return 1;
    std::string parent = path.substr(0, separator);
    std::string name = path.substr(separator + 1);
    return float(platform().createFolderIn(parent.c_str(), name.c_str()));
}
