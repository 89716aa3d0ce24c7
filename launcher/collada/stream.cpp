#include "collada.h"
#include "exportparts/export_file.h"

#include <cstring>

void put(ColladaStream& out, std::string_view text)
{
    while (!text.empty())
    {
        size_t part = std::min(text.size(), kBlockBytes - out.used);
        memcpy(out.block.get() + out.used, text.data(), part);
        out.used += part;
        text.remove_prefix(part);
        if (out.used >= kBlockBytes)
            flushStream(out);
    }
}

void lineEnd(ColladaStream& out, char* end)
{
    out.used = size_t(end - out.block.get());
    if (out.used >= kBlockBytes)
        flushStream(out);
}

void flushStream(ColladaStream& out)
{
    if (!out.failed && out.used > 0 && !out.file->write(out.block.get(), out.used))
        out.failed = true;
    out.used = 0;
}
