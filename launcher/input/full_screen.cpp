#include "input.h"

bool isFullScreen()
{
    return desktopServices().firstWindowFullScreen();
}

void minimizeApp()
{
    desktopServices().toggleFirstWindowFullScreen();
}
