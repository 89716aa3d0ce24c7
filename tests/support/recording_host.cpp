#include "recording_host.h"

#include <utility>

namespace
{
unsigned char (*g_scriptedRename)(const char*, char*, int32_t) = nullptr;
uint32_t g_renameRegister = 0;

uint32_t renameAnsweringRegister(const char* text, char* buffer1, int32_t zero)
{
    g_scriptedRename(text, buffer1, zero);
    return g_renameRegister;
}

// Casts through the generic function type, as a host's table would hold it.
template <typename To, typename From>
To castFunction(From function)
{
    return reinterpret_cast<To>(reinterpret_cast<void (*)()>(function));
}
}

RecordingHost::RecordingHost()
{
    scripted.log = nullptr;
    scripted.record = &requests;
    installScriptedHost(scripted, context, table);
}

void giveTexts(RecordingHost& host, const std::string& key, const std::string& text)
{
    for (const char* suffix : {"", ".title", ".info", ".descr"})
        host.scripted.strings[-1][key + suffix] = text;
}

void answerRenameWithRegister(RecordingHost& host, uint32_t answer)
{
    auto entry = castFunction<decltype(host.table.renameButton)>(renameAnsweringRegister);
    if (host.table.renameButton != entry)
        g_scriptedRename = std::exchange(host.table.renameButton, entry);
    g_renameRegister = answer;
}
