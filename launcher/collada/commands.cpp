// The exported Collada command.
#include "exportparts.h"
#include "command.h"

HOST_COMMAND(doExportCollada)
{
    return exportCollada(text, buffer1, buffer1Size);
}
