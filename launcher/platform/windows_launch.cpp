// Launching and finding applications on Windows: CreateProcessW with a
// command line that the C runtime reads back as exactly the arguments given,
// a process snapshot, and the shell's "open" for default applications.
#include "common/command_line.h"
#include "windows_platform.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <cwctype>

static bool endsWithExe(const std::wstring& name)
{
    if (name.size() < 4)
        return false;
    std::wstring end = name.substr(name.size() - 4);
    for (wchar_t& c : end)
        c = wchar_t(towlower(c));
    return end == L".exe";
}

bool windowsLaunchApplication(const char* path, const std::vector<std::string>& arguments)
{
    std::wstring program;
    if (!toWide(path, program) || !endsWithExe(program))
        return false;
    DWORD attributes = GetFileAttributesW(program.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    // The program's own name is read up to its closing quote, with no escapes:
    // a path never holds a quote.
    std::wstring line = L"\"" + program + L"\"";
    for (const std::string& argument : arguments)
    {
        std::wstring wide;
        if (!toWide(quoteWindowsArgument(argument).c_str(), wide))
            return false;
        line += L" " + wide;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void windowsRunningApplications(std::vector<std::string>& names)
{
    names.clear();
    // Only the caller's own session counts, as on Linux only the caller's own
    // processes do. A process whose session cannot be read (a system one)
    // does not count. Under Wine every process shares one session.
    DWORD session = 0;
    Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid() || !ProcessIdToSessionId(GetCurrentProcessId(), &session))
        return;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.value, &entry); more; more = Process32NextW(snapshot.value, &entry))
    {
        DWORD theirs = 0;
        if (!ProcessIdToSessionId(entry.th32ProcessID, &theirs) || theirs != session)
            continue;
        std::wstring name = entry.szExeFile;
        if (endsWithExe(name))
            name.resize(name.size() - 4);
        names.push_back(toUtf8(name));
    }
}

// The shell's open returns once the application is started: there is no
// opener of its own to wait for.
OpenAnswer windowsOpenWithDefaultApplication(const char* path, int)
{
    std::wstring file;
    if (!toWide(path, file) || GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES)
        return {OpenOutcome::FileMissing};
    ComScope com;
    SHELLEXECUTEINFOW open = {};
    open.cbSize = sizeof open;
    open.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    open.lpVerb = L"open";
    open.lpFile = file.c_str();
    open.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&open))
        return {OpenOutcome::Started};
    // Some shells report a file without an application only in hInstApp.
    bool unassociated =
        GetLastError() == ERROR_NO_ASSOCIATION || reinterpret_cast<INT_PTR>(open.hInstApp) == SE_ERR_NOASSOC;
    return {unassociated ? OpenOutcome::NoApplication : OpenOutcome::Failed};
}

