#include "input.h"

bool isFullScreen()
{
    return platform().firstWindowFullScreen();
}

void minimizeApp()
{
    platform().toggleFirstWindowFullScreen();
}
