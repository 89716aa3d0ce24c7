// The exported home-page commands.
#include "command.h"
#include "homepage.h"

HOST_COMMAND(StartProcess)
{
    return startProcess(text, value, buffer1, buffer1Size);
}
