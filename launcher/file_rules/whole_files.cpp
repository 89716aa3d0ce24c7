// Whole files: reading one within a limit, replacing one's contents, copying
// one, storing a download.
#include "file_rules.h"

namespace
{
// An open file, closed when the object goes.
struct OpenFile
{
    SystemFile file;
    explicit OpenFile(SystemFile opened) : file(opened) {}
    ~OpenFile()
    {
        if (file.valid())
            closeFile(file);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
};
}

bool sameRegularFile(const char* path, const char* other)
{
    OpenFile opened(openForReading(path));
    return opened.file.valid() && sameFile(opened.file, other);
}

bool readWholeFile(const char* path, size_t limit, std::string& contents)
{
    contents.clear();
    OpenFile opened(openForReading(path));
    uint64_t size = 0;
    if (!opened.file.valid() || !fileSize(opened.file, size) || size > limit)
        return false;
    char chunk[1 << 16];
    for (;;)
    {
        int64_t got = readSome(opened.file, chunk, sizeof chunk);
        if (got <= 0)
            return got == 0;
        // The file may have grown since it was measured.
        if (uint64_t(got) > limit - contents.size())
            return false;
        contents.append(chunk, size_t(got));
    }
}

bool replaceWholeFile(const char* path, const std::string& contents)
{
    TemporaryFile file;
    return file.create(path, ".replace-") && file.write(contents.data(), contents.size()) && file.replace(path, true);
}

CopyOutcome copyRegularFile(const char* from, const char* to)
{
    OpenFile source(openForReading(from));
    if (!source.file.valid())
        return nameIsFree(from) ? CopyOutcome::SourceMissing : CopyOutcome::Refused;
    PathKind target = pathKind(to);
    if (target != PathKind::Missing)
    {
        if (sameFile(source.file, to))
            return CopyOutcome::SameFile;
        if (target != PathKind::Regular)
            return CopyOutcome::Refused;
    }
    // The copy is written beside the destination and moved over it once
    // complete: the destination is untouched on failure.
    TemporaryFile copy;
    return copy.createCopy(to, ".copy-", source.file, from) && copy.replace(to, false) ? CopyOutcome::Copied
                                                                                        : CopyOutcome::Failed;
}

bool storeDownloaded(const std::string& body, const char* path)
{
    TemporaryFile file;
    return !body.empty() && file.create(path, kDownloadPrefix) && file.write(body.data(), body.size()) &&
           file.replace(path, true);
}
