#include "full_screen.h"
#include "platform/platform.h"

bool isFullScreen()
{
    return desktopServices().firstWindowFullScreen();
}

void toggleFullScreen()
{
    desktopServices().toggleFirstWindowFullScreen();
}
