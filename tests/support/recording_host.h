// The host users run in plugin-host, installed for a test: it tells no log
// and keeps every request it was asked.
#pragma once

#include "host/scripted_host.h"

#include <cstdint>
#include <string>
#include <vector>

struct RecordingHost
{
    ScriptedHost scripted;
    std::vector<HostRequest> requests;
    HostContext context{};
    HostCallbackTable table{};

    RecordingHost();
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;
};

// Gives key the same text, title, info and description in every language.
void giveTexts(RecordingHost& host, const std::string& key, const std::string& text);

// Answers entry 0 (the request still reaches the scripted host) through a
// whole register: the host's booleans are, and the library must read their
// lowest byte only.
void answerRenameWithRegister(RecordingHost& host, uint32_t answer);
