// LaunchAppWithFile, compiled into both libraries.
#include "command.h"
#include "launch.h"

HOST_COMMAND(LaunchAppWithFile)
{
    return launchAppWithFile(text, buffer1);
}
