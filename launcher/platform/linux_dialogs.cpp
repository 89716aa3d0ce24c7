// The file, folder and colour panels on Linux: zenity's. Any answer but an
// accepted, readable one counts as cancelled, as does a missing display or
// zenity.
#include "linux_platform.h"
#include "linux_zenity.h"
#include "platform.h"

bool linuxOpenFilesPanel(const char* title, const std::vector<std::string>& extensions,
                         std::vector<std::string>& paths)
{
    std::vector<std::string> arguments = {"--file-selection", "--multiple",
                                          std::string("--separator=") + kZenitySeparator};
    if (title)
        arguments.push_back(std::string("--title=") + title);
    if (!extensions.empty())
        arguments.push_back(zenityFileFilter(extensions));
    std::string answer;
    return runZenity(arguments, answer) == 0 && splitZenityFiles(answer, paths);
}

bool linuxChooseFolderPanel(const char* title, std::string& folder)
{
    std::vector<std::string> arguments = {"--file-selection", "--directory"};
    if (title)
        arguments.push_back(std::string("--title=") + title);
    std::string answer;
    return runZenity(arguments, answer) == 0 && readZenityPath(answer, folder);
}

ColorAnswer linuxColorPanel(const RgbColor& initial)
{
    std::string preset = "--color=rgb(" + std::to_string(initial.red) + "," + std::to_string(initial.green) + "," +
                         std::to_string(initial.blue) + ")";
    std::string answer;
    if (runZenity({"--color-selection", preset}, answer) != 0)
        return {};
    ColorAnswer accepted;
    accepted.accepted = true;
    accepted.chosen = parseZenityColor(answer, accepted.color);
    return accepted;
}
