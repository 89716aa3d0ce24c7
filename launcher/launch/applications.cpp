#include "launch.h"
#include "common/command.h"
#include "common/host_path.h"
#include "platform/platform.h"

#include <sstream>

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;)
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
        {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

std::vector<std::string> hostPathLines(const std::string& text, size_t count)
{
    std::vector<std::string> lines(count);
    std::istringstream stream(text);
    for (std::string& line : lines)
        if (std::getline(stream, line))
            line = hostPathToNative(line);
    return lines;
}

bool runApp(const std::string& app, const std::vector<std::string>& sixArguments)
{
    return processServices().launchApplication(app.c_str(), sixArguments);
}

bool runAppSingleArg(const std::string& app, const std::string& argument)
{
    return processServices().launchApplication(app.c_str(), {argument});
}

bool runAppWithArgs(const std::string& app, const std::string& arguments)
{
    return processServices().launchApplication(app.c_str(), splitLines(arguments));
}

bool isAppRunning(const std::string& name)
{
    if (name.empty())
        return false;
    std::vector<std::string> names;
    processServices().runningApplications(names);
    for (const std::string& running : names)
        if (running.find(name) != std::string::npos)
            return true;
    return false;
}

float startApp(const char* buffer1)
{
    if (!buffer1)
        return -1;
    std::vector<std::string> lines = hostPathLines(buffer1, 7);
    std::vector<std::string> arguments(lines.begin() + 1, lines.end());
    return runApp(lines[0], arguments) ? 0 : -1;
}

float startAppArg(const char* text, const char* buffer1)
{
    if (!text || fileServices().pathKind(text) == PathKind::Missing)
        return -1;
    // The argument is passed byte for byte, whatever characters it holds.
    return runAppSingleArg(text, buffer1 ? buffer1 : "") ? 0 : -2;
}

float startWithArgs(const char* text, const char* buffer1)
{
    if (!text || !buffer1)
        return -1;
    return runAppWithArgs(text, buffer1) ? 0 : -1;
}

float runAppWithArgsCommand(const char* text, const char* buffer1)
{
    if (!text || !buffer1)
        return -2;
    return runAppWithArgs(hostPathToNative(text), buffer1) ? 0 : -1;
}

float runAppWithFile(const char* text, const char* buffer1)
{
    if (!text || !buffer1)
        return -1;
    return runAppSingleArg(hostPathToNative(buffer1), fileArgument(hostPathToNative(text))) ? 0 : -1;
}

float isAppRunningCommand(const char* text)
{
    if (!text)
        return -1;
    return isAppRunning(text) ? 1 : 0;
}
