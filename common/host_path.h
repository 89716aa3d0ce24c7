// Host paths: the host writes paths as VOLUME:NATIVE; the native part is the
// text after the first ":", or all of the text when it holds none. A text
// that already is a native absolute path (as a file dialog answers) is used
// whole: host paths never begin with "/", and on Windows never with a drive
// letter and ":" and a separator, nor with "\\" as UNC paths do.
#pragma once

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

bool isNativeAbsolutePath(const std::string& text, PathStyle style);
std::string MakeMacPath(const std::string& hostPath, PathStyle style = kSystemPathStyle);
