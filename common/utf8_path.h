// Paths as UTF-8 texts on every system: a path made from a narrow string on
// Windows would be read in the ANSI code page.
#pragma once

#include <filesystem>
#include <string>

inline std::filesystem::path utf8Path(const std::string& text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string utf8Text(const std::filesystem::path& path)
{
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
