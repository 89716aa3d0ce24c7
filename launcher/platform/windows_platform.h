// The Windows implementation of each platform service: the wide-character
// API throughout, with UTF-8 texts converted strictly.
#pragma once

#include "platform.h"

#include <windows.h>

#include <string>

// UTF-8 to UTF-16; false, with nothing converted, when text is not UTF-8.
bool toWide(const char* text, std::wstring& wide);
// UTF-16 to UTF-8.
std::string toUtf8(const wchar_t* text, size_t length);
std::string toUtf8(const std::wstring& text);
// A UTF-8 path as the wide-character file API takes it exactly as spelt:
// "\\?\" and the full path, with "/" made "\" and "." and ".." resolved in
// the text; false, with nothing converted, when path is not UTF-8.
bool toSystemPath(const char* path, std::wstring& system);

// A handle closed when the object goes.
struct Handle
{
    HANDLE value = INVALID_HANDLE_VALUE;

    explicit Handle(HANDLE opened) : value(opened) {}
    ~Handle();
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return value != INVALID_HANDLE_VALUE && value != nullptr; }
};

// COM for the calls that need it, tolerating a caller that has set it up
// already in another mode.
struct ComScope
{
    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ComScope() = default;
    ~ComScope()
    {
        if (SUCCEEDED(result))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
};

bool windowsLaunchApplication(const char* path, const std::vector<std::string>& arguments);
void windowsRunningApplications(std::vector<std::string>& names);
OpenAnswer windowsOpenWithDefaultApplication(const char* path, int waitMilliseconds);

ScreenLayout windowsScreenLayout();
bool windowsFirstWindowFullScreen();
void windowsToggleFirstWindowFullScreen();
bool windowsKeyboardMap(KeyboardMap& map);
void windowsPostKeys(const std::vector<KeyEvent>& events);
void windowsPostClick(int32_t x, int32_t y);

CompanionOutcome windowsExchangeWithCompanion(uint16_t port, const char* message, size_t length, int waitMilliseconds);
bool windowsHttpExchange(const HttpRequest& request, HttpAnswer& answer);

bool windowsOpenFilesPanel(const char* title, const std::vector<std::string>& extensions,
                           std::vector<std::string>& paths);
bool windowsChooseFolderPanel(const char* title, std::string& folder);
ColorAnswer windowsColorPanel(const RgbColor& initial);
