// LaunchAppWithFile, compiled into both libraries.
#include "common/command.h"
#include "launch.h"

HOST_COMMAND(LaunchAppWithFile)
{
    return launchAppWithFile(text, buffer1);
}
