#include "screens.h"
#include "platform/platform.h"

// The monitor marked primary, else the first.
static size_t primaryIndex(const std::vector<MonitorRect>& monitors)
{
    for (size_t i = 0; i < monitors.size(); i++)
        if (monitors[i].primary)
            return i;
    return 0;
}

// In 64 bits, so that no edge overflows.
static bool contains(const MonitorRect& m, int64_t x, int64_t y)
{
    return x >= m.x && x < int64_t(m.x) + m.width && y >= m.y && y < int64_t(m.y) + m.height;
}

int32_t mainMonitorIndex(const ScreenLayout& layout)
{
    const std::vector<MonitorRect>& monitors = layout.monitors;
    if (monitors.empty())
        return -1;
    if (layout.focused)
        for (size_t i = 0; i < monitors.size(); i++)
            if (contains(monitors[i], layout.focusCentreX, layout.focusCentreY))
                return int32_t(i);
    return int32_t(primaryIndex(monitors));
}

ScreenFrame screenFrame(const MonitorRect& monitor, const MonitorRect& primary)
{
    // Computed in double: a sum of two 32-bit values may not fit in one.
    ScreenFrame frame;
    frame.x = double(monitor.x) - primary.x;
    frame.y = (double(primary.y) + primary.height) - (double(monitor.y) + monitor.height);
    frame.width = monitor.width;
    frame.height = monitor.height;
    return frame;
}

ScreenFrame mainScreenFrame()
{
    ScreenLayout layout = desktopServices().screenLayout();
    int32_t main = mainMonitorIndex(layout);
    if (main < 0)
        return {};
    return screenFrame(layout.monitors[size_t(main)], layout.monitors[primaryIndex(layout.monitors)]);
}

float getMainScreenX()
{
    return float(mainScreenFrame().x);
}

float getMainScreenY()
{
    return float(mainScreenFrame().y);
}

float getMainScreenW()
{
    return float(mainScreenFrame().width);
}

float getMainScreenH()
{
    return float(mainScreenFrame().height);
}

float getMainScreen()
{
    return float(mainMonitorIndex(desktopServices().screenLayout()));
}

float mainScreenCentreX()
{
    float width = getMainScreenW();
    return getMainScreenX() + width * 0.5f;
}

float mainScreenCentreY()
{
    float height = getMainScreenH();
    return getMainScreenY() + height * 0.5f;
}
