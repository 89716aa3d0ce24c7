#include "click.h"
#include "platform/platform.h"

#include <sstream>

ClickPoint parseClickPoint(const char* text)
{
    std::istringstream stream(text);
    ClickPoint point;
    if (!(stream >> point.x))
        point.x = 0;
    if (!(stream >> point.y))
        point.y = 0;
    return point;
}

void DoMouseClick(int32_t x, int32_t y)
{
    desktopServices().postClick(x, y);
}

float sendClick(const char* text)
{
    if (text == nullptr)
        return -1;
    ClickPoint point = parseClickPoint(text);
    DoMouseClick(point.x, point.y);
    return 0;
}
