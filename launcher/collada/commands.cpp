// The exported Collada command.
#include "collada.h"
#include "command.h"

HOST_COMMAND(doExportCollada)
{
    return exportCollada(text, buffer1, buffer1Size);
}
