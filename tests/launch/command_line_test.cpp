// The Windows command line's quoting, here as a table, and under Wine read
// back by the system's own parser.
#include "platform/command_line.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>

#include <shellapi.h>
#endif

TEST(WindowsCommandLine, EachArgumentReadsBackExactly)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain"},
        {"", "\"\""},
        {"a b", "\"a b\""},
        {"\ttab", "\"\ttab\""},
        {"quote\"d", "\"quote\\\"d\""},
        {"\"", "\"\\\"\""},
        {"back\\slash", "back\\slash"},         // no quotes: backslashes as they are
        {"end\\", "end\\"},
        {"a b\\", "\"a b\\\\\""},                // doubled before the closing quote
        {"two\\\\\"q", "\"two\\\\\\\\\\\"q\""}, // doubled before an escaped quote
        {"\\\\server\\share\\", "\\\\server\\share\\"},
        {"caf\xC3\xA9 x", "\"caf\xC3\xA9 x\""},
    };
    for (const auto& [argument, quoted] : cases)
    {
        EXPECT_EQ(quoteWindowsArgument(argument), quoted) << argument;
#if defined(_WIN32)
        std::wstring line = L"program " + std::wstring(quoted.begin(), quoted.end());
        int count = 0;
        wchar_t** read = CommandLineToArgvW(line.c_str(), &count);
        ASSERT_EQ(count, 2) << argument;
        std::wstring expected(argument.begin(), argument.end());
        EXPECT_EQ(std::wstring(read[1]), expected) << argument;
        LocalFree(read);
#endif
    }
}
