// The update files' bounds and their lines, shared by the reading of the
// files and the evaluation of the served data.
#pragma once

#include <cstddef>
#include <string_view>

// The update files (settings and update.dat) are a few lines; larger ones,
// or lines longer than a line can sensibly be, count as unreadable.
constexpr size_t kUpdateFileLimit = size_t(16) << 20;
constexpr size_t kUpdateLineLimit = size_t(64) << 10;

// Calls visit with each line of text, split at "\n" only, as a stream's
// getline splits it: a last line without its "\n" counts, an empty text has
// no line.
template <typename Visit>
void forEachLine(std::string_view text, Visit visit)
{
    while (!text.empty())
    {
        size_t end = text.find('\n');
        visit(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
}
