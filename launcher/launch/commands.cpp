// The exported launch commands (LaunchAppWithFile has a file of its own:
// Brindle carries it too).
#include "common/command.h"
#include "launch.h"

HOST_COMMAND(StartApp)
{
    return startApp(buffer1);
}

HOST_COMMAND(StartAppArg)
{
    return startAppArg(text, buffer1);
}

HOST_COMMAND(StartWithArgs)
{
    return startWithArgs(text, buffer1);
}

HOST_COMMAND(RunAppWithArgs)
{
    return runAppWithArgsCommand(text, buffer1);
}

HOST_COMMAND(RunAppWithFile)
{
    return runAppWithFile(text, buffer1);
}

HOST_COMMAND(IsAppRunning)
{
    return isAppRunningCommand(text);
}

HOST_COMMAND(MakeFolderOLD)
{
    return makeFolderOld(text);
}
