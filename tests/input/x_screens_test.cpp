// The screen and window commands of the built library on real X servers.
#include "launcher.h"
#include "x_client.h"
#include "tests/support/xvfb.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <thread>

namespace
{
// The frame commands' answers, in the order x y w h, centre x y, index.
std::vector<float> mainScreen(const Launcher& call)
{
    return {call("GetScnX"), call("GetScnY"), call("GetScnW"), call("GetScnH"),
            call("GetScnPosX"), call("GetScnPosY"), call("GetScn")};
}

bool becomes(const Launcher& call, const char* command, float answer)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (call(command) != answer)
    {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}
}

TEST(RealScreens, WithoutADisplayThereIsNoMainScreen)
{
    Launcher call;
    for (const char* display : {"", ":65000"})
    {
        setenv("DISPLAY", display, 1);
        EXPECT_EQ(mainScreen(call), (std::vector<float>{0, 0, 0, 0, 0, 0, -1})) << display;
        EXPECT_EQ(call("CheckFullScn"), 0);
        EXPECT_EQ(call("minimZ"), 0);
        EXPECT_EQ(call("PasteText", "typed nowhere"), 0);
        EXPECT_EQ(call("SendClick", "1 2"), 0);
    }
    unsetenv("DISPLAY");
    EXPECT_EQ(call("GetScn"), -1);
}

TEST(RealScreens, OneScreenOf1440By900)
{
    Xvfb server("1440x900x24");
    ASSERT_FALSE(server.display.empty());
    setenv("DISPLAY", server.display.c_str(), 1);
    Launcher call;
    EXPECT_EQ(mainScreen(call), (std::vector<float>{0, 0, 1440, 900, 720, 450, 0}));
}

TEST(RealScreens, MonitorLeftOfThePrimaryHasANegativeOrigin)
{
    Xvfb server("2720x900x24");
    ASSERT_FALSE(server.display.empty());
    setenv("DISPLAY", server.display.c_str(), 1);
    XClient client(server.display);
    client.setMonitor("left", 0, 0, 1280, 720, false, true);
    client.setMonitor("right", 1280, 0, 1440, 900, true, false);
    Launcher call;

    // No window has the focus: the primary, which the server lists first.
    EXPECT_EQ(mainScreen(call), (std::vector<float>{0, 0, 1440, 900, 720, 450, 0}));

    client.focus(client.window(100, 100, 200, 200));
    EXPECT_EQ(mainScreen(call), (std::vector<float>{-1280, 180, 1280, 720, -640, 540, 1}));

    client.focus(client.window(1500, 50, 100, 100));
    EXPECT_EQ(mainScreen(call), (std::vector<float>{0, 0, 1440, 900, 720, 450, 0}));

    // Centred below the left monitor, on none: the primary again.
    client.focus(client.window(540, 760, 200, 100));
    EXPECT_EQ(call("GetScn"), 0);
}

TEST(RealFullScreen, StateIsReadFromTheFirstWindowOfThisProcess)
{
    Xvfb server("1440x900x24");
    ASSERT_FALSE(server.display.empty());
    setenv("DISPLAY", server.display.c_str(), 1);
    XClient client(server.display);
    Launcher call;

    XWindow stranger = client.window(0, 0, 100, 100, Listen::Nothing, getpid() + 1);
    client.setStates(stranger, {"_NET_WM_STATE_FULLSCREEN"});
    client.window(0, 0, 100, 100);
    EXPECT_EQ(call("CheckFullScn"), 0);
    EXPECT_EQ(call("minimZ"), 0); // no window of its own: nothing to switch

    XWindow first = client.window(0, 0, 100, 100, Listen::Nothing, getpid());
    XWindow second = client.window(0, 0, 100, 100, Listen::Nothing, getpid());
    client.setStates(second, {"_NET_WM_STATE_FULLSCREEN"});
    EXPECT_EQ(call("CheckFullScn"), 0);
    client.setStates(first, {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_FULLSCREEN"});
    EXPECT_EQ(call("CheckFullScn"), 1);
}

TEST(RealFullScreen, WindowManagerSwitchesTheFirstWindow)
{
    Xvfb server("1440x900x24");
    ASSERT_FALSE(server.display.empty());
    ASSERT_TRUE(server.startWindowManager());
    setenv("DISPLAY", server.display.c_str(), 1);
    XClient client(server.display);
    Launcher call;

    XWindow window = client.window(50, 50, 400, 300, Listen::Nothing, getpid());
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!client.managed(window) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(client.managed(window));

    EXPECT_EQ(call("CheckFullScn"), 0);
    EXPECT_EQ(call("minimZ"), 0);
    EXPECT_TRUE(becomes(call, "CheckFullScn", 1));
    EXPECT_EQ(call("minimZ"), 0);
    EXPECT_TRUE(becomes(call, "CheckFullScn", 0));
}
