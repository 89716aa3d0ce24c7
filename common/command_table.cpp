#include "command_table.h"

#include <cstring>

const CommandInfo kCommands[] = {
#define COMMAND(name, libraries, arguments) {#name, libraries, arguments},
#define SYMBOL(name, libraries, kind)
#include "command_list.h"
#undef COMMAND
#undef SYMBOL
};
const size_t kCommandCount = sizeof(kCommands) / sizeof(kCommands[0]);

const SymbolInfo kOtherSymbols[] = {
#define COMMAND(name, libraries, arguments)
#define SYMBOL(name, libraries, kind) {#name, libraries, kind},
#include "command_list.h"
#undef COMMAND
#undef SYMBOL
};
const size_t kOtherSymbolCount = sizeof(kOtherSymbols) / sizeof(kOtherSymbols[0]);

const CommandInfo* findCommand(const char* name)
{
    for (const CommandInfo& command : kCommands)
        if (strcmp(command.name, name) == 0)
            return &command;
    return nullptr;
}
