// A small scriptable stand-in for the host application's services: what the
// commands ask of the host is printed, and the answers come from options.
#pragma once

#include "common/host.h"
#include "common/utf8.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// Localized texts by language; language -1 holds the texts of every language.
using LocalizedStrings = std::map<int32_t, std::map<std::string, std::string>>;

// Reads key=value lines; [N] starts the texts of language N, [*] those of
// every language; blank lines and lines starting with # are skipped. Lines of
// any other form are ignored, and so are the lines of a section that is not
// a number.
void parseLocalization(std::string_view text, LocalizedStrings& strings);
bool loadLocalization(const std::string& path, LocalizedStrings& strings);

struct ScriptedHost
{
    int32_t language = 0;
    std::optional<int32_t> choose; // the answer to a shown list, as given; none: ask, or keep the selection
    bool askTerminal = false;     // ask on the terminal when no answer is given
    bool failRename = false;
    bool failIcon = false;
    int32_t subToolCount = 0;     // sub-tools appended so far
    float sizeAnswer = 0;         // the answer of entry 18
    LocalizedStrings strings;
    FILE* log = stdout;           // where the host tells what it was asked
};

// Makes the context whose table calls into host. One host at a time.
void installScriptedHost(ScriptedHost& host, HostContext& context, HostCallbackTable& table);
