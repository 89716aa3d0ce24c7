#include "collada.h"

static constexpr size_t kBlock = size_t(1) << 20;

void put(ColladaStream& out, std::string_view text)
{
    out.pending.append(text);
    flushWhenFull(out);
}

void flushWhenFull(ColladaStream& out)
{
    if (out.pending.size() >= kBlock)
        flushStream(out);
}

void flushStream(ColladaStream& out)
{
    if (!out.failed && !out.pending.empty() &&
        fwrite(out.pending.data(), 1, out.pending.size(), out.file) != out.pending.size())
        out.failed = true;
    out.pending.clear();
}
