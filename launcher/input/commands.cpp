// The exported screen and input commands.
#include "common/command.h"
#include "click.h"
#include "companion.h"
#include "full_screen.h"
#include "screens.h"
#include "typing.h"

HOST_COMMAND(GetScnX)
{
    return getMainScreenX();
}

HOST_COMMAND(GetScnY)
{
    return getMainScreenY();
}

HOST_COMMAND(GetScnW)
{
    return getMainScreenW();
}

HOST_COMMAND(GetScnH)
{
    return getMainScreenH();
}

HOST_COMMAND(GetScnPosX)
{
    return mainScreenCentreX();
}

HOST_COMMAND(GetScnPosY)
{
    return mainScreenCentreY();
}

HOST_COMMAND(GetScn)
{
    return getMainScreen();
}

HOST_COMMAND(CheckFullScn)
{
    return isFullScreen() ? 1 : 0;
}

HOST_COMMAND(minimZ)
{
    toggleFullScreen();
    return 0;
}

HOST_COMMAND(PasteText)
{
    if (text != nullptr)
        DoKeyPress(text);
    return 0;
}

HOST_COMMAND(SendClick)
{
    return sendClick(text);
}

HOST_COMMAND(sendBlend)
{
    return sendToCompanion(buffer1, kCompanionPort);
}
