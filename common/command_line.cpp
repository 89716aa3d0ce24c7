#include "command_line.h"

std::string quoteWindowsArgument(std::string_view argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string_view::npos)
        return std::string(argument);
    std::string quoted = "\"";
    for (size_t i = 0;; i++)
    {
        size_t backslashes = 0;
        while (i < argument.size() && argument[i] == '\\')
        {
            i++;
            backslashes++;
        }
        if (i == argument.size())
        {
            quoted.append(backslashes * 2, '\\');
            break;
        }
        quoted.append(argument[i] == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        quoted.push_back(argument[i]);
    }
    return quoted + "\"";
}
