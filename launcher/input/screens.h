// The main screen: which monitor it is, its frame and its centre.
#pragma once

#include "platform/platform.h"

#include <cstdint>

// A screen frame: origin at the lower left of the primary screen, y up.
struct ScreenFrame
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// The main monitor's position in the list: the monitor holding the focused
// window's centre, else the primary one (marked so, else the first); -1
// when there are no monitors.
int32_t mainMonitorIndex(const ScreenLayout& layout);
// A monitor's frame, measured from the primary monitor's lower left corner.
ScreenFrame screenFrame(const MonitorRect& monitor, const MonitorRect& primary);
// The main screen's frame; all zeros when there is no main screen.
ScreenFrame mainScreenFrame();

float getMainScreenX();
float getMainScreenY();
float getMainScreenW();
float getMainScreenH();
// The main screen's index, -1 when there is none.
float getMainScreen();
// The main screen's centre, computed in single precision.
float mainScreenCentreX();
float mainScreenCentreY();
