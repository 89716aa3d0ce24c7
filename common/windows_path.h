// Paths as Windows takes them exactly as spelt. A plain path is rewritten by
// Windows before use: a trailing "." or space is dropped from each name
// ("data." names data), a device name with any extension ("con.txt",
// "nul.psd") names the device, and the whole path is refused beyond 260
// characters unless the system's long-path setting is on (Wine has no such
// limit). A path in the "\\?\" form escapes all of that, but is used
// verbatim: so separators are made "\" and "." and ".." resolved here, in
// the text, as Windows would have done. Written for every system, so that
// these rules are tested everywhere.
#pragma once

#include <string>

// The full path Windows makes of "\" (the current drive's root), "." (the
// current folder) or a drive's letter and ":" (that drive's current
// folder); empty when there is none.
using FullPathOf = std::string (*)(const std::string& text);

// A UTF-8 path in the "\\?\" form of its full path: its root (a drive, a
// UNC share, a volume) in that form, and its names joined by "\" with "."
// and ".." resolved; a final separator stays, as it asks for a folder. A
// path that names no root is first made full with fullPathOf. Device paths
// ("\\.\pipe\x"), a UNC path without a share and a relative path with no
// full path are given back as they are.
std::string verbatimWindowsPath(const std::string& path, FullPathOf fullPathOf);
