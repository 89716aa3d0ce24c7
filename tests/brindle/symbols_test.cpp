// Each built library exports exactly the symbols the command table gives it.
#include "common/command_table.h"
#include "tests/support/library.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace
{
// Defined dynamic symbols, C++ names demangled and cut before their arguments.
std::set<std::string> exportedNames(const std::string& path)
{
    std::set<std::string> names;
    std::string command = "nm -D --defined-only -C --format=posix '" + path + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return names;
    char line[4096];
    while (fgets(line, sizeof(line), pipe))
    {
        std::string text = line;
        // posix format: NAME TYPE VALUE SIZE; a C++ name holds blanks, so cut
        // at its argument list first.
        size_t paren = text.find('(');
        if (paren != std::string::npos)
            text.resize(paren);
        else
            text.resize(text.find(' '));
        names.insert(text);
    }
    pclose(pipe);
    return names;
}

std::set<std::string> expectedNames(unsigned library)
{
    std::set<std::string> names;
    for (size_t i = 0; i < kCommandCount; i++)
        if (kCommands[i].libraries & library)
            names.insert(kCommands[i].name);
    for (size_t i = 0; i < kOtherSymbolCount; i++)
        if (kOtherSymbols[i].libraries & library)
            names.insert(kOtherSymbols[i].name);
    return names;
}
}

TEST(Symbols, BrindleExportsExactlyItsTable)
{
    std::set<std::string> expected = expectedNames(LibBrindle);
    EXPECT_EQ(exportedNames(libraryPath("Brindle")), expected);
    EXPECT_TRUE(expected.count("g_dropdowns") && expected.count("widen") && expected.count("DropdownGetSize"));
}

TEST(Symbols, LauncherExportsExactlyItsTable)
{
    std::set<std::string> expected = expectedNames(LibLauncher);
    EXPECT_EQ(exportedNames(libraryPath("TesmarLauncherDLL")), expected);
    EXPECT_FALSE(expected.count("g_dropdowns") || expected.count("DropdownGetSize"));
}

TEST(Symbols, TableCountsMatchTheLibraries)
{
    size_t brindle = 0, windows = 0;
    for (size_t i = 0; i < kCommandCount; i++)
    {
        brindle += (kCommands[i].libraries & LibBrindle) != 0;
        windows += (kCommands[i].libraries & LibBrindleWin) != 0;
    }
    EXPECT_EQ(brindle, 28u);
    EXPECT_EQ(windows, 24u);
}
