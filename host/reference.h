// The command reference (docs/commands.md) as plugin-host carries it, and the
// synopses read from it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The text of docs/commands.md, built into plugin-host.
extern const char kCommandReference[];

// One synopsis: a fenced block of the reference opened by "```synopsis".
// Its first line names the commands it describes, separated by ", "; the
// lines after it give the libraries, the arguments read and the results.
struct Synopsis
{
    std::vector<std::string> commands;
    std::string text; // the block's lines, each ending in "\n"
    size_t line = 0;  // the reference's line that opens the block, from 1
};

std::vector<Synopsis> readSynopses(std::string_view reference);

// The synopsis that names command; null when none does.
const Synopsis* findSynopsis(const std::vector<Synopsis>& synopses, const std::string& command);
