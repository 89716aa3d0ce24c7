// The stand-in host's script lines and localization files.
#include "host/call.h"
#include "host/scripted_host.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> words;
    std::string error;
    CallSpec call;
    if (splitScriptLine(text, words, error) && !words.empty() && parseCall(words, call, error))
    {
        HostBuffer buffer1 = makeBuffer(call.buffer1);
        quoteBuffer(buffer1.data(), int32_t(buffer1.capacity));
    }
    LocalizedStrings strings;
    parseLocalization(text, strings);
    return 0;
}
