// The desktop commands of the DLL under Wine with Xvfb as the display: the
// screen, typing and clicking received by a window of this test, the
// full-screen switch of that window, and the file, folder and colour panels
// answered at the keyboard.
#include "tests/support/library.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <utility>
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

    float operator()(const char* name, const char* text = nullptr, double value = 0, char* buffer1 = nullptr,
                     int32_t buffer1Size = 0)
    {
        HostCommandEntry command = library.command(name);
        return command ? command(text, value, buffer1, buffer1Size, nullptr, 0, nullptr) : -99;
    }
    std::string filePath(double number)
    {
        char path[512] = "none"; // left as it is when there is no such file
        operator()("GetFilePath", nullptr, number, path, sizeof path);
        return path;
    }
};

// Asks for the panel titled title to be answered: the script that runs these
// tests types text into it, if any, then presses key, with the build
// machine's xdotool.
void answer(const std::string& title, const char* key, const std::string& text = "")
{
    static int serial = 0;
    const char* folder = getenv("TESMAR_PANEL_ANSWERS");
    if (!folder)
        return;
    std::string request = std::string(folder) + "\\" + std::to_string(serial++);
    std::ofstream(utf8Path(request + ".part"), std::ios::binary) << title << "\n" << key << "\n" << text << "\n";
    std::filesystem::rename(utf8Path(request + ".part"), utf8Path(request + ".request"));
}

// Runs a command that shows a panel, on this thread, and answers the panel
// until the command returns: a panel still settling may miss the first keys.
float answered(const std::function<float()>& command, const std::string& title, const char* key,
               const std::string& text = "")
{
    std::atomic<bool> done{false};
    std::thread answering([&] {
        for (int waited = 0; !done && waited < 60000; waited += 100)
        {
            if (waited % 6000 == 2000)
                answer(title, key, text);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    float result = command();
    done = true;
    answering.join();
    return result;
}
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
    // No key of this layout types \u20ac: it is one Space, not one a byte.
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"Hello!", L"Hello!"}, {"C++ 1+1", L"C++ 1+1"}, {"x\u20acy", L"x y"}};
    for (auto [text, expected] : cases)
    {
        g_typed.clear();
        EXPECT_EQ(call("PasteText", text), 0);
        TestWindow::pump(500);
        EXPECT_EQ(g_typed, expected + std::wstring(L"\r")) << text;
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

// The normal frame comes back exactly, also where it reaches left of and
// above the screen.
TEST(WineDesktop, FullScreenSwitchesTheFirstWindowAndBack)
{
    Launcher call;
    TestWindow window;
    for (POINT at : {POINT{0, 0}, POINT{-1, -30}})
    {
        SetWindowPos(window.window, nullptr, at.x, at.y, 800, 600, SWP_NOZORDER);
        TestWindow::pump(300);
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
        EXPECT_TRUE(EqualRect(&before, &after)) << at.x << " " << at.y << ": " << after.left << " " << after.top;
        EXPECT_EQ(GetPropW(window.window, L"TesmarNormalStyle"), nullptr); // nothing left behind
        EXPECT_EQ(GetPropW(window.window, L"TesmarNormalKept"), nullptr);
    }
}

TEST(WineDesktop, ChosenColourComesBackPackedAndCancelAnswersMinus128)
{
    Launcher call;
    char color[32] = "65535, 0, 0"; // the preset: red, 16-bit components
    auto pick = [&] { return call("GetColorPicker", nullptr, 0, color, sizeof color); };
    EXPECT_EQ(answered(pick, "Color", "Return"), 1);
    EXPECT_STREQ(color, "16711680");
    EXPECT_EQ(answered(pick, "Color", "Escape"), -128);
}

TEST(WineDesktop, TypedFileOrFolderIsChosenAndCancelKeepsTheList)
{
    Launcher call;
    Scratch s;
    std::string file = s.file("d.obj"), folder = s.folder("meshes");
    EXPECT_EQ(answered([&] { return call("GetFilesDialog", "Pick one"); }, "Pick one", "Return", file), 1);
    EXPECT_EQ(call.filePath(1), file);
    EXPECT_EQ(answered([&] { return call("GetFilesDialog", "Pick one"); }, "Pick one", "Escape"), 0);
    EXPECT_EQ(call.filePath(1), file);
    EXPECT_EQ(call("ClearFileList"), 0);
    EXPECT_EQ(call.filePath(1), "none");

    char chosen[256] = {};
    EXPECT_EQ(answered([&] { return call("ChooseFolder", nullptr, 0, chosen, sizeof chosen); }, "Select Folder",
                       "Return", folder),
              0);
    EXPECT_EQ(std::string(chosen), folder);
}
