// The desktop commands of the DLL under Wine with Xvfb as the display: the
// screen, typing and clicking received by a window of this test, the
// full-screen switch of that window, and the file, folder and colour panels
// answered at the keyboard.
#include "tests/support/library.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
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

// Handles this thread's messages until the condition holds, for at most
// five seconds; whether it held. Conditions that no message of this thread
// changes are looked at every 50 ms.
bool pumpUntil(const std::function<bool()>& condition)
{
    ULONGLONG until = GetTickCount64() + 5000;
    for (;;)
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (condition())
            return true;
        ULONGLONG now = GetTickCount64();
        if (now >= until)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(std::min<ULONGLONG>(until - now, 50)), QS_ALLINPUT);
    }
}

// This process's window, in front with the keyboard, recording what it
// receives.
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
        EXPECT_TRUE(pumpUntil([&] { return GetForegroundWindow() == window && GetFocus() == window; }))
            << "the test window did not get the keyboard";
        g_typed.clear();
        g_clicks.clear();
    }
    ~TestWindow() { DestroyWindow(window); }
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
// machine's xdotool. Answers the request's file, which the script removes
// as it takes it; empty without the script.
std::string answer(const std::string& title, const char* key, const std::string& text = "")
{
    static int serial = 0;
    const char* folder = getenv("TESMAR_PANEL_ANSWERS");
    if (!folder)
        return "";
    std::string request = std::string(folder) + "\\" + std::to_string(serial++);
    std::ofstream(utf8Path(request + ".part"), std::ios::binary) << title << "\n" << key << "\n" << text << "\n";
    std::filesystem::rename(utf8Path(request + ".part"), utf8Path(request + ".request"));
    return request + ".request";
}

// Runs a command that shows a panel, on this thread, and has the panel
// answered until the command returns: at once (the script waits for the
// panel to appear), then again every six seconds, as a panel still settling
// may miss the first keys. What was asked and not yet taken when the
// command returns is withdrawn, so that it never answers a later panel.
float answered(const std::function<float()>& command, const std::string& title, const char* key,
               const std::string& text = "")
{
    std::mutex lock;
    std::condition_variable returned;
    bool done = false;
    std::vector<std::string> requests;
    std::thread answering([&] {
        std::unique_lock<std::mutex> held(lock);
        for (int asked = 0; !done && asked < 10; asked++)
        {
            requests.push_back(answer(title, key, text));
            returned.wait_for(held, std::chrono::seconds(6), [&] { return done; });
        }
    });
    float result = command();
    {
        std::lock_guard<std::mutex> held(lock);
        done = true;
    }
    returned.notify_one();
    answering.join();
    std::error_code ignored;
    for (const std::string& request : requests)
        std::filesystem::remove(utf8Path(request), ignored);
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
        pumpUntil([] { return !g_typed.empty() && g_typed.back() == L'\r'; });
        EXPECT_EQ(g_typed, expected + std::wstring(L"\r")) << text;
    }
}

TEST(WineDesktop, ClickLandsAtItsPoint)
{
    Launcher call;
    TestWindow window;
    EXPECT_EQ(call("SendClick", "120 340"), 0);
    pumpUntil([] { return !g_clicks.empty(); });
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
        RECT before, after;
        auto frame = [&] {
            GetWindowRect(window.window, &after);
            return after.left == at.x && after.top == at.y;
        };
        EXPECT_TRUE(pumpUntil(frame)) << "the window did not move";
        GetWindowRect(window.window, &before);
        EXPECT_EQ(call("CheckFullScn"), 0);
        EXPECT_EQ(call("minimZ"), 0);
        EXPECT_TRUE(pumpUntil([&] { return call("CheckFullScn") == 1; }));
        EXPECT_EQ(call("minimZ"), 0);
        EXPECT_TRUE(pumpUntil([&] { return call("CheckFullScn") == 0; }));
        pumpUntil([&] { return GetWindowRect(window.window, &after) && EqualRect(&before, &after); });
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
