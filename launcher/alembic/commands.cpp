// The exported Alembic commands.
#include "alembic_export.h"
#include "common/command.h"

HOST_COMMAND(doAddMeshes)
{
    return addMeshes(text, buffer1, buffer1Size);
}

HOST_COMMAND(TestAlembic)
{
    return testAlembic();
}
