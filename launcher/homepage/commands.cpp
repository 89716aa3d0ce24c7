// The exported home-page commands.
#include "command.h"
#include "homepage.h"

HOST_COMMAND(StartProcess)
{
    return startProcess(text, value, buffer1, buffer1Size);
}

HOST_COMMAND(CheckUpdateJA)
{
    return checkUpdate(UpdateVariant::YearBlock, text, 0, buffer1, buffer1Size);
}

HOST_COMMAND(CheckUpdateALL)
{
    return checkUpdate(UpdateVariant::LanguageBlock, text, truncToInt(value), buffer1, buffer1Size);
}

HOST_COMMAND(CheckUpdateHP)
{
    return checkUpdate(UpdateVariant::EveryLine, text, 0, buffer1, 0);
}

HOST_COMMAND(OLDCheckUpdateJA)
{
    return 59;
}
