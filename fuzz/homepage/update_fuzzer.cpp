// Downloaded update data: the line evaluation of every variant and the
// timestamp comparison. The first byte picks the language.
#include "homepage/homepage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    int32_t language = int8_t(data[0]) % 10;
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    char url[32];
    for (UpdateVariant variant : {UpdateVariant::YearBlock, UpdateVariant::LanguageBlock, UpdateVariant::EveryLine})
    {
        UpdateFindings findings;
        evaluateUpdate(variant, language, text, findings, url, sizeof(url));
        compareTimestamps(findings.timestamp, std::string(text.substr(0, text.find('\n'))));
    }
    return 0;
}
