// A program for the launch tests under Wine: writes the arguments it received
// (as the C runtime reads its command line) beside itself, UTF-8 and NUL
// after each, to NAME.exe.arguments; runs on until the test has taken them
// (removed the file), for ten seconds at most, then writes NAME.exe.done.
#include <windows.h>

#include <string>

static void writeAll(const std::wstring& path, const std::string& bytes)
{
    std::wstring part = path + L".part";
    HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExW(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

int wmain(int argc, wchar_t** argv)
{
    wchar_t self[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    std::string received;
    for (int i = 1; i < argc; i++)
    {
        int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string argument(size_t(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, argument.data(), size, nullptr, nullptr);
        received += argument; // ends in its NUL
    }
    std::wstring arguments = path + L".arguments";
    writeAll(arguments, received);
    for (int i = 0; i < 1000 && GetFileAttributesW(arguments.c_str()) != INVALID_FILE_ATTRIBUTES; i++)
        Sleep(10);
    writeAll(path + L".done", "");
    return 0;
}
