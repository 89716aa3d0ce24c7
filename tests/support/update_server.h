// The server of update_server.py on the loopback address, serving a folder
// of the test's files. Under Wine it runs as the build machine's own program.
#pragma once

#include "scratch.h"

#include <chrono>
#include <cstdio>
#include <thread>

#if defined(_WIN32)
#include <windows.h>
#else
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

struct UpdateServer
{
    Scratch control; // holds the file the server writes its ports to
    std::string portFile = control.path("ports");
    int port = 0;
    int closedPort = 0; // where nothing listens
#if !defined(_WIN32)
    pid_t pid = -1;
#endif

    explicit UpdateServer(const std::string& folder)
    {
        std::string script = UPDATE_SERVER;
        std::string root = unixPath(folder), ports = unixPath(portFile);
#if defined(_WIN32)
        std::wstring line = L"/usr/bin/python3 \"" + wide(script) + L"\" \"" + wide(root) + L"\" \"" + wide(ports) + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(L"Z:\\usr\\bin\\python3", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
#else
        std::string python = "/usr/bin/python3";
        char* argv[] = {python.data(), script.data(), root.data(), ports.data(), nullptr};
        if (posix_spawn(&pid, python.c_str(), nullptr, nullptr, argv, environ) != 0)
            return;
#endif
        for (int i = 0; i < 500 && !std::filesystem::exists(utf8Path(portFile)); i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::ifstream(utf8Path(portFile)) >> port >> closedPort;
    }
    // Removing the file ends the server.
    ~UpdateServer()
    {
        std::error_code ignored;
        std::filesystem::remove(utf8Path(portFile), ignored);
#if !defined(_WIN32)
        if (pid > 0)
            waitpid(pid, nullptr, 0);
#endif
    }
    std::string url(const std::string& name) const { return "http://127.0.0.1:" + std::to_string(port) + "/" + name; }

  private:
#if defined(_WIN32)
    static std::wstring wide(const std::string& text) { return utf8Path(text).wstring(); }
    // The build machine's name of a path under Wine.
    static std::string unixPath(const std::string& path)
    {
        using Convert = char* (*)(const wchar_t*);
        auto convert = reinterpret_cast<Convert>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
        char* unix = convert ? convert(wide(path).c_str()) : nullptr;
        std::string answer = unix ? unix : "";
        if (unix)
            HeapFree(GetProcessHeap(), 0, unix);
        return answer;
    }
#else
    static std::string unixPath(const std::string& path) { return path; }
#endif
};
