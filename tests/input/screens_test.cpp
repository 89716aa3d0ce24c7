#include "input/screens.h"
#include "tests/support/platform_double.h"

#include <gtest/gtest.h>

namespace
{
// The primary monitor at the origin, a smaller one on its left, lower down
// in root pixels: listed primary first, as X servers do.
ScreenLayout twoMonitors()
{
    ScreenLayout layout;
    layout.monitors = {{1280, 0, 1440, 900, true}, {0, 100, 1280, 720, false}};
    return layout;
}
}

TEST(Screens, MainMonitorFollowsTheFocusedWindowElseThePrimary)
{
    ScreenLayout layout = twoMonitors();
    EXPECT_EQ(mainMonitorIndex(layout), 0);
    layout.focused = true;
    layout.focusCentreX = 640;
    layout.focusCentreY = 400;
    EXPECT_EQ(mainMonitorIndex(layout), 1);
    layout.focusCentreX = 1279; // edges: right and bottom are outside
    layout.focusCentreY = 819;
    EXPECT_EQ(mainMonitorIndex(layout), 1);
    layout.focusCentreY = 820;
    EXPECT_EQ(mainMonitorIndex(layout), 0); // on no monitor
    layout.focusCentreX = 1280;
    layout.focusCentreY = 0;
    EXPECT_EQ(mainMonitorIndex(layout), 0);

    layout.focused = false;
    layout.monitors[0].primary = false;
    layout.monitors[1].primary = true;
    EXPECT_EQ(mainMonitorIndex(layout), 1);
    layout.monitors[1].primary = false;
    EXPECT_EQ(mainMonitorIndex(layout), 0); // none marked: the first
    EXPECT_EQ(mainMonitorIndex(ScreenLayout{}), -1);
}

TEST(Screens, FramesAreMeasuredUpFromThePrimaryLowerLeft)
{
    ScreenLayout layout = twoMonitors();
    ScreenFrame left = screenFrame(layout.monitors[1], layout.monitors[0]);
    EXPECT_EQ(left.x, -1280);
    EXPECT_EQ(left.y, 80); // 900 - (100 + 720)
    EXPECT_EQ(left.width, 1280);
    EXPECT_EQ(left.height, 720);
    ScreenFrame above = screenFrame({1280, -600, 800, 600, false}, layout.monitors[0]);
    EXPECT_EQ(above.x, 0);
    EXPECT_EQ(above.y, 900);
    ScreenFrame far = screenFrame({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, false}, {INT32_MAX, INT32_MAX, 1, 1, true});
    EXPECT_EQ(far.x, -4294967295.0);
}

TEST(Screens, QueriesAnswerTheMainScreen)
{
    PlatformDouble platform;
    platform.screens = twoMonitors();
    platform.screens.focused = true;
    platform.screens.focusCentreX = 100;
    platform.screens.focusCentreY = 200;
    EXPECT_EQ(getMainScreenX(), -1280);
    EXPECT_EQ(getMainScreenY(), 80);
    EXPECT_EQ(getMainScreenW(), 1280);
    EXPECT_EQ(getMainScreenH(), 720);
    EXPECT_EQ(mainScreenCentreX(), -640);
    EXPECT_EQ(mainScreenCentreY(), 440);
    EXPECT_EQ(getMainScreen(), 1);

    platform.screens.monitors[1].width = 1281; // halves stay exact in floats
    EXPECT_EQ(mainScreenCentreX(), -639.5f);

    platform.screens = {};
    EXPECT_EQ(getMainScreenX(), 0);
    EXPECT_EQ(getMainScreenW(), 0);
    EXPECT_EQ(mainScreenCentreX(), 0);
    EXPECT_EQ(mainScreenCentreY(), 0);
    EXPECT_EQ(getMainScreen(), -1);
}
