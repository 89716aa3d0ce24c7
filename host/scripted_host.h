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
#include <vector>

// Localized texts by language; language -1 holds the texts of every language.
using LocalizedStrings = std::map<int32_t, std::map<std::string, std::string>>;

// Reads key=value lines; [N] starts the texts of language N, [*] those of
// every language; blank lines and lines starting with # are skipped. Lines of
// any other form are ignored, and so are the lines of a section that is not
// a number.
void parseLocalization(std::string_view text, LocalizedStrings& strings);
bool loadLocalization(const std::string& path, LocalizedStrings& strings);

// One request to the host, as a caller that checks them (the tests) keeps it.
struct HostRequest
{
    int entry = -1;                           // the table's entry
    std::optional<std::string> text;          // the text, title, key or path; none: null
    std::string buffer1;                      // entries 0, 17: buffer 1's text
    int32_t number = 0;                       // 0: the trailing zero; 1: the selection; 17: the icon;
                                              // 18: the selector
    std::vector<std::string> items;           // entry 1: the items shown
    int32_t a = 0, b = 0;                     // entry 1: the two trailing integers
    double value = 0;                         // entry 18
    int32_t buffer1Size = 0, buffer2Size = 0; // entry 18
};

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
    FILE* log = stdout;           // where the host tells what it was asked; null: nowhere
    std::vector<HostRequest>* record = nullptr; // when given, every request is kept there too
};

// Makes the context whose table calls into host. One host at a time.
void installScriptedHost(ScriptedHost& host, HostContext& context, HostCallbackTable& table);
