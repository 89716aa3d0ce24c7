// The "\\?\" form of Windows paths as a table, with the current folders
// given: C: is the current drive, at C:\work, and D:'s current folder D:\cur.
#include "common/windows_path.h"

#include <gtest/gtest.h>

static std::string currentFolders(const std::string& text)
{
    return text == "\\" ? "C:\\" : text == "." ? "C:\\work" : text == "D:" ? "D:\\cur" : "";
}

TEST(WindowsPath, VerbatimFormOfEachKindOfPath)
{
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\a\\b", "\\\\?\\C:\\a\\b"},
        {"c:/a/./b/../c", "\\\\?\\c:\\a\\c"},
        {"C:\\a\\", "\\\\?\\C:\\a\\"},
        {"C:\\..\\..", "\\\\?\\C:\\"},
        {"C:/a//b", "\\\\?\\C:\\a\\b"},
        {"data.", "\\\\?\\C:\\work\\data."},
        {"con.txt", "\\\\?\\C:\\work\\con.txt"},
        {"caf\xC3\xA9 ", "\\\\?\\C:\\work\\caf\xC3\xA9 "},
        {"..\\up", "\\\\?\\C:\\up"},
        {"\\x", "\\\\?\\C:\\x"},
        {"D:x", "\\\\?\\D:\\cur\\x"},
        {"E:x", "E:x"}, // no current folder on E:
        {"\\\\server\\share\\x", "\\\\?\\UNC\\server\\share\\x"},
        {"//server/share", "\\\\?\\UNC\\server\\share\\"},
        {"\\\\server", "\\\\server"},
        {"\\\\?\\C:\\a\\..\\b", "\\\\?\\C:\\b"},
        {"\\\\?\\unc\\s\\sh\\x", "\\\\?\\UNC\\s\\sh\\x"},
        {"\\\\?\\Volume{1}\\x", "\\\\?\\Volume{1}\\x"},
        {"\\\\.\\pipe\\x", "\\\\.\\pipe\\x"},
        {"", ""},
    };
    for (const auto& [path, verbatim] : cases)
        EXPECT_EQ(verbatimWindowsPath(path, currentFolders), verbatim) << path;
}
