// The table of exported symbols as data, for the stand-in host and the tests.
#pragma once

#include <cstddef>

enum Library : unsigned
{
    LibBrindle = 1,
    LibBrindleWin = 2,
    LibLauncher = 4,
    LibLauncherWin = 8,
};

enum Argument : unsigned
{
    ArgNone = 0,
    ArgText = 1,
    ArgValue = 2,
    ArgBuffer1 = 4,
    ArgBuffer1Size = 8,
    ArgBuffer2 = 16,
    ArgBuffer2Size = 32,
    ArgHost = 64,
};

enum SymbolKind : unsigned
{
    CName,
    CxxName,
};

struct CommandInfo
{
    const char* name;
    unsigned libraries; // Library bits
    unsigned arguments; // Argument bits: what the command reads
};

struct SymbolInfo
{
    const char* name;
    unsigned libraries;
    SymbolKind kind;
};

extern const CommandInfo kCommands[];
extern const size_t kCommandCount;
extern const SymbolInfo kOtherSymbols[];
extern const size_t kOtherSymbolCount;

const CommandInfo* findCommand(const char* name);
