// Typing and clicking through the built library, received by a window of
// the test on a real X server.
#include "launcher.h"
#include "x_client.h"
#include "xvfb.h"

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
