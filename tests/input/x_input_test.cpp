// Typing and clicking through the built library, received by a window of
// the test on a real X server.
#include "input/typing.h"
#include "launcher.h"
#include "platform/linux_platform.h"
#include "x_client.h"
#include "tests/support/xvfb.h"

#include <gtest/gtest.h>

using Events = std::vector<std::string>;

TEST(RealInput, TextArrivesAsKeysAtTheFocusedWindow)
{
    Xvfb server("1440x900x24");
    ASSERT_FALSE(server.display.empty());
    setenv("DISPLAY", server.display.c_str(), 1);
    XClient client(server.display);
    client.focus(client.window(0, 0, 300, 200, Listen::Keys));
    Launcher call;

    EXPECT_EQ(call("PasteText", "Hello!"), 0);
    EXPECT_EQ(client.record("-Return"),
              (Events{"+Shift_L", "+h", "-h", "-Shift_L", "+e", "-e", "+l", "-l", "+l", "-l", "+o", "-o",
                      "+Shift_L", "+1", "-1", "-Shift_L", "+Return", "-Return"}));

    // On this layout "?" needs Shift on another key: it is typed as Space.
    EXPECT_EQ(call("PasteText", "a?"), 0);
    EXPECT_EQ(client.record("-Return"), (Events{"+a", "-a", "+space", "-space", "+Return", "-Return"}));

    // A control character goes to the key that types it.
    EXPECT_EQ(call("PasteText", "\t"), 0);
    EXPECT_EQ(client.record("-Return"), (Events{"+Tab", "-Tab", "+Return", "-Return"}));

    EXPECT_EQ(call("PasteText", ""), 0);
    EXPECT_EQ(client.record("-Return"), (Events{"+Return", "-Return"}));

    EXPECT_EQ(call("PasteText"), 0);
    EXPECT_EQ(client.record("", 300), Events{});
}

TEST(RealInput, ClickArrivesAtTheRootPosition)
{
    Xvfb server("1440x900x24");
    ASSERT_FALSE(server.display.empty());
    setenv("DISPLAY", server.display.c_str(), 1);
    XClient client(server.display);
    client.window(0, 0, 1440, 900, Listen::Buttons);
    Launcher call;

    EXPECT_EQ(call("SendClick", "120 340"), 0);
    EXPECT_EQ(client.record("click 1 120 340"), Events{"click 1 120 340"});
    EXPECT_EQ(call("SendClick", "120"), 0);
    EXPECT_EQ(client.record("click 1 120 0"), Events{"click 1 120 0"});
    EXPECT_EQ(call("SendClick"), -1);
}

// The keyboard of a real server, with its layouts set by setxkbmap.
struct LayoutServer
{
    Xvfb server{"1024x768x24"};
    bool ready = false;

    LayoutServer(const char* layouts, unsigned group)
    {
        if (server.display.empty() || !server.setLayouts(layouts))
            return;
        setenv("DISPLAY", server.display.c_str(), 1);
        XClient(server.display).lockGroup(group);
        ready = true;
    }
};

TEST(RealKeyMap, KeypadKeysTypeTheirCharacters)
{
    LayoutServer layout("us", 0);
    ASSERT_TRUE(layout.ready);
    KeyboardMap keyboard;
    ASSERT_TRUE(linuxKeyboardMap(keyboard));
    XClient client(layout.server.display);
    auto code = [&](const char* keysym) { return client.keyCode(keysym); };
    KeyMap map = buildKeyMap(keyboard);
    // "+" only the keypad types without Shift; "-" and "/" the keypad's keys
    // win over the main row's, as the highest code does.
    EXPECT_EQ(map.codes["+"], code("KP_Add"));
    EXPECT_EQ(map.codes["-"], code("KP_Subtract"));
    EXPECT_EQ(map.codes["/"], code("KP_Divide"));
    EXPECT_EQ(map.codes["1"], code("1")); // the keypad's 1 is End without Num Lock
    EXPECT_EQ(map.codes["y"], code("y"));
}

TEST(RealInput, KeypadCharactersArriveExactly)
{
    LayoutServer layout("us", 0);
    ASSERT_TRUE(layout.ready);
    XClient client(layout.server.display);
    client.focus(client.window(0, 0, 300, 200, Listen::Keys));
    EXPECT_EQ(Launcher()("PasteText", "C++ 1+1"), 0);
    EXPECT_EQ(client.typed(), "C++ 1+1\r");
}

// A French keyboard has a key for \u00e9 and types \u00a7 with Shift on the
// key of "!"; \u20ac needs AltGr, and Shift on the key of \u00e9 types "2":
// each of those is one Space.
TEST(RealInput, CharactersBeyondAsciiTypeTheirKeys)
{
    LayoutServer layout("fr", 0);
    ASSERT_TRUE(layout.ready);
    XClient client(layout.server.display);
    client.focus(client.window(0, 0, 300, 200, Listen::Keys));
    EXPECT_EQ(Launcher()("PasteText", "\u00e9\u20ac\u00a7\u00c9"), 0);
    EXPECT_EQ(client.record("-Return"),
              (Events{"+eacute", "-eacute", "+space", "-space", "+Shift_L", "+exclam", "-exclam", "-Shift_L",
                      "+space", "-space", "+Return", "-Return"}));
}

TEST(RealInput, TheActiveGroupTypes)
{
    LayoutServer layout("us,de", 1);
    ASSERT_TRUE(layout.ready);
    XClient client(layout.server.display);
    client.focus(client.window(0, 0, 300, 200, Listen::Keys));
    EXPECT_EQ(Launcher()("PasteText", "yz"), 0);
    EXPECT_EQ(client.typed(), "yz\r");
}
