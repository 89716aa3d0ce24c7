// The Windows command line's quoting as a table, and under Wine read back by
// the system's own parser.
#include "common/command_line.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>

#include <shellapi.h>
#endif

TEST(WindowsCommandLine, EachArgumentReadsBackExactly)
{
    // Backslashes are doubled only before a quote or the closing quote.
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain"}, {"", "\"\""}, {"a b", "\"a b\""}, {"\ttab", "\"\ttab\""}, {"quote\"d", "\"quote\\\"d\""},
        {"back\\slash", "back\\slash"}, {"end\\", "end\\"}, {"a b\\", "\"a b\\\\\""},
        {"two\\\\\"q", "\"two\\\\\\\\\\\"q\""}, {"caf\xC3\xA9 x", "\"caf\xC3\xA9 x\""},
    };
    for (const auto& [argument, quoted] : cases)
    {
        EXPECT_EQ(quoteWindowsArgument(argument), quoted) << argument;
#if defined(_WIN32)
        int count = 0;
        wchar_t** read = CommandLineToArgvW((L"program " + std::wstring(quoted.begin(), quoted.end())).c_str(), &count);
        EXPECT_TRUE(count == 2 && std::wstring(read[1]) == std::wstring(argument.begin(), argument.end())) << argument;
        LocalFree(read);
#endif
    }
}
