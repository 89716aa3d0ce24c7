// The command line of a Windows program, built on every system so that its
// rules are tested everywhere: the Windows C runtime reads each argument back
// exactly as given.
#pragma once

#include <string>
#include <string_view>

// One argument as the command line holds it: as it is when it needs no
// quotes, otherwise quoted, with the backslashes before a quote (or before
// the closing quote) doubled and each quote escaped. Texts are UTF-8; the
// characters that count are all ASCII.
std::string quoteWindowsArgument(std::string_view argument);
