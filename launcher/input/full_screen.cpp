#include "input.h"

bool isFullScreen()
{
    return desktopServices().firstWindowFullScreen();
}

void toggleFullScreen()
{
    desktopServices().toggleFirstWindowFullScreen();
}
