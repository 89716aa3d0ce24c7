// The exported home-page commands.
#include "common/command.h"
#include "homepage.h"

HOST_COMMAND(StartProcess)
{
    return startProcess(text, value, buffer1, buffer1Size);
}

// The address is read within buffer 1's size; the page address found is
// written back there.
HOST_COMMAND(CheckUpdateJA)
{
    return checkUpdate(UpdateVariant::YearBlock, text, 0, textWithin(buffer1, buffer1Size).c_str(), buffer1,
                       buffer1Size);
}

HOST_COMMAND(CheckUpdateALL)
{
    return checkUpdate(UpdateVariant::LanguageBlock, text, truncToInt(value), textWithin(buffer1, buffer1Size).c_str(),
                       buffer1, buffer1Size);
}

HOST_COMMAND(CheckUpdateHP)
{
    // No size comes with this one: the address is read up to its NUL.
    return checkUpdate(UpdateVariant::EveryLine, text, 0, buffer1, buffer1, 0);
}

HOST_COMMAND(OLDCheckUpdateJA)
{
    return 59;
}
