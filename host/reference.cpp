#include "reference.h"

static std::vector<std::string> splitNames(std::string_view line)
{
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= line.size())
    {
        size_t end = line.find(", ", start);
        if (end == std::string_view::npos)
            end = line.size();
        names.emplace_back(line.substr(start, end - start));
        start = end + 2;
    }
    return names;
}

std::vector<Synopsis> readSynopses(std::string_view reference)
{
    std::vector<Synopsis> synopses;
    Synopsis* open = nullptr;
    size_t number = 0;
    while (!reference.empty())
    {
        size_t end = reference.find('\n');
        std::string_view line = reference.substr(0, end);
        reference.remove_prefix(end == std::string_view::npos ? reference.size() : end + 1);
        number++;
        if (!open)
        {
            if (line == "```synopsis")
            {
                open = &synopses.emplace_back();
                open->line = number;
            }
            continue;
        }
        if (line.rfind("```", 0) == 0)
        {
            open = nullptr;
            continue;
        }
        if (open->text.empty())
            open->commands = splitNames(line);
        open->text.append(line).push_back('\n');
    }
    return synopses;
}

const Synopsis* findSynopsis(const std::vector<Synopsis>& synopses, const std::string& command)
{
    for (const Synopsis& synopsis : synopses)
        for (const std::string& name : synopsis.commands)
            if (name == command)
                return &synopsis;
    return nullptr;
}
