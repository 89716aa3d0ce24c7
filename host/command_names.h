// Names for the stand-in host's listings and messages: the libraries that
// carry a command, the name of a loaded library, and the command closest to
// a name that is none.
#pragma once

#include "common/command_table.h"

#include <string>

// The libraries as the reference's synopses name them, such as
// "Brindle (Linux), Brindle.dll (Windows)".
std::string libraryNames(unsigned libraries);

// The libraries of this platform among them by their short names
// ("TesmarLauncherDLL"; "TesmarLauncherDLL.dll" on Windows), or all of them
// as the synopses name them when none is of this platform.
std::string librariesHere(unsigned libraries);

// The library of this platform whose name path ends in, without "lib" and
// ".so" on Linux: "Brindle" for build/lib/libBrindle.so.
std::string libraryName(const std::string& path);

// The command of the table whose name is closest to name, case aside.
const CommandInfo& closestCommand(const std::string& name);
