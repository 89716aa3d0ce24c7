// The exported Collada command.
#include "collada.h"
#include "common/command.h"

HOST_COMMAND(doExportCollada)
{
    return exportCollada(text, buffer1, buffer1Size);
}
