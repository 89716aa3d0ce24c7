// The dialogs on Linux are zenity's: it runs without a shell, and what it
// prints on its standard output is its answer, parsed here.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct RgbColor;

// The most an answer may hold; any longer is not one.
constexpr size_t kZenityAnswerLimit = 16 << 20;

// Runs zenity with the arguments and waits until it ends: its exit status
// (0 when the user accepted) and its answer. -1, with nothing run, when
// DISPLAY is unset or empty or zenity cannot be started; -1 as well when it
// did not end by itself or its answer was longer than the limit.
int runZenity(const std::vector<std::string>& arguments, std::string& answer);

// Put between the chosen files of one answer. Zenity answers canonical
// absolute paths, which never hold "/./".
constexpr const char kZenitySeparator[] = "/./";

// The --file-filter argument that allows files with one of the extensions,
// in any letter case. Extensions hold no blanks (zenity splits at them).
std::string zenityFileFilter(const std::vector<std::string>& extensions);

// The answers, each ended by zenity's newline (optional here). They are read
// whole or refused: false leaves the result untouched.
// Absolute paths between separators, at least one.
bool splitZenityFiles(const std::string& answer, std::vector<std::string>& paths);
// One absolute path.
bool readZenityPath(const std::string& answer, std::string& path);
// rgb(r,g,b) with each channel 0 to 255, or #rrggbb.
bool parseZenityColor(const std::string& answer, RgbColor& color);
