// What a dialog helper prints as its answer: file lists, a folder, a colour.
#include "platform/linux_zenity.h"
#include "platform/platform.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string answer(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> paths;
    splitZenityFiles(answer, paths);
    std::string path;
    readZenityPath(answer, path);
    RgbColor color{};
    parseZenityColor(answer, color);
    return 0;
}
