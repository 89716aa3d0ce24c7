// Host paths: the host writes paths as VOLUME:NATIVE; the native part is the
// text after the first ":", or all of the text when it holds none. A text
// that already is a native absolute path (as a file dialog answers) is used
// whole: host paths never begin with "/", and on Windows never with a drive
// letter and ":" and a separator, nor with "\\" as UNC paths do.
#pragma once

#include <cstddef>
#include <string>

enum class PathStyle
{
    Posix,
    Windows,
};

// The paths of the system the library is built for.
#if defined(_WIN32)
inline constexpr PathStyle kSystemPathStyle = PathStyle::Windows;
#else
inline constexpr PathStyle kSystemPathStyle = PathStyle::Posix;
#endif

// The rules of Windows paths that the host paths, file URIs and the Windows
// platform share, for UTF-8 and UTF-16 texts alike: "/" and "\" both
// separate names, and a drive is an ASCII letter and ":".
template <class Char>
constexpr bool isWindowsSeparator(Char c)
{
    return c == Char('/') || c == Char('\\');
}

template <class Text>
constexpr bool startsWithDrive(const Text& text, size_t at = 0)
{
    return text.size() >= at + 2 &&
           ((text[at] >= 'A' && text[at] <= 'Z') || (text[at] >= 'a' && text[at] <= 'z')) && text[at + 1] == ':';
}

bool isNativeAbsolutePath(const std::string& text, PathStyle style);
// A file's path as a program's argument: "./" goes before a path that
// begins with "-", so that it cannot read as an option (such a path is
// relative everywhere).
std::string fileArgument(const std::string& path);
// The native path a host path names (see above).
std::string hostPathToNative(const std::string& hostPath, PathStyle style = kSystemPathStyle);
