// The desktop commands of the DLL under Wine with Xvfb as the display: the
// screen, typing and clicking received by a window of this test, and the
// full-screen switch of that window.
#include "library.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace
{
std::wstring g_typed;
std::vector<POINT> g_clicks;

LRESULT CALLBACK record(HWND window, UINT message, WPARAM w, LPARAM l)
{
    if (message == WM_CHAR)
        g_typed += wchar_t(w);
    if (message == WM_LBUTTONDOWN)
    {
        POINT at = {short(LOWORD(l)), short(HIWORD(l))};
        ClientToScreen(window, &at);
        g_clicks.push_back(at);
    }
    return DefWindowProcW(window, message, w, l);
}

// This process's window, in front, recording what it receives.
struct TestWindow
{
    HWND window = nullptr;

    TestWindow()
    {
        WNDCLASSW type = {};
        type.lpfnWndProc = record;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"TesmarTestWindow";
        RegisterClassW(&type);
        window = CreateWindowExW(0, L"TesmarTestWindow", L"Tesmar test window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                 0, 800, 600, nullptr, nullptr, type.hInstance, nullptr);
        SetForegroundWindow(window);
        SetFocus(window);
        pump(300);
        g_typed.clear();
        g_clicks.clear();
    }
    ~TestWindow() { DestroyWindow(window); }

    // Handles this thread's messages for a while.
    static void pump(DWORD milliseconds)
    {
        ULONGLONG until = GetTickCount64() + milliseconds;
        while (GetTickCount64() < until)
        {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            Sleep(10);
        }
    }
};

struct Launcher
{
    LoadedLibrary library{libraryPath("TesmarLauncherDLL")};

    float operator()(const char* name, const char* text = nullptr)
    {
        HostCommandEntry command = library.command(name);
        return command ? command(text, 0, nullptr, 0, nullptr, 0, nullptr) : -99;
    }
};

}

TEST(WineDesktop, TheScreenOfTheDisplay)
{
    Launcher call;
    TestWindow window;
    std::vector<float> screen;
    for (const char* name : {"GetScnX", "GetScnY", "GetScnW", "GetScnH", "GetScnPosX", "GetScnPosY", "GetScn"})
        screen.push_back(call(name));
    EXPECT_EQ(screen, (std::vector<float>{0, 0, 1440, 900, 720, 450, 0}));
}

TEST(WineDesktop, TypedTextArrivesExactly)
{
    Launcher call;
    TestWindow window;
    for (const char* text : {"Hello!", "C++ 1+1"})
    {
        g_typed.clear();
        EXPECT_EQ(call("PasteText", text), 0);
        TestWindow::pump(500);
        std::wstring expected(text, text + strlen(text));
        EXPECT_EQ(g_typed, expected + L"\r") << text;
    }
}

TEST(WineDesktop, ClickLandsAtItsPoint)
{
    Launcher call;
    TestWindow window;
    EXPECT_EQ(call("SendClick", "120 340"), 0);
    TestWindow::pump(500);
    ASSERT_EQ(g_clicks.size(), 1u);
    EXPECT_EQ(g_clicks[0].x, 120);
    EXPECT_EQ(g_clicks[0].y, 340);
}

TEST(WineDesktop, FullScreenSwitchesTheFirstWindowAndBack)
{
    Launcher call;
    TestWindow window;
    RECT before;
    GetWindowRect(window.window, &before);
    EXPECT_EQ(call("CheckFullScn"), 0);
    EXPECT_EQ(call("minimZ"), 0);
    TestWindow::pump(300);
    EXPECT_EQ(call("CheckFullScn"), 1);
    EXPECT_EQ(call("minimZ"), 0);
    TestWindow::pump(300);
    EXPECT_EQ(call("CheckFullScn"), 0);
    RECT after;
    GetWindowRect(window.window, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(GetPropW(window.window, L"TesmarNormalStyle"), nullptr); // nothing left behind
}
