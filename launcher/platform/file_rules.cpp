#include "file_rules.h"

#include <string_view>

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

PathKind kindOf(const char* path)
{
    return systemFileServices().pathKind(path);
}

// The characters of a temporary file's name after its prefix.
const char kRandomCharacters[] = "0123456789abcdefghijklmnopqrstuvwxyz";
const size_t kRandomLength = 8;

// Whether a name is one TemporaryFile makes with the prefix given as context.
bool isTemporaryName(const std::string& name, const void* context)
{
    std::string_view prefix = static_cast<const char*>(context);
    return name.size() == prefix.size() + kRandomLength && name.compare(0, prefix.size(), prefix) == 0 &&
           name.find_first_not_of(kRandomCharacters, prefix.size()) == std::string::npos;
}
}

TemporaryFile::~TemporaryFile()
{
    if (file.valid())
        closeFile(file);
    if (!path.empty())
        removeCreated(path);
}

template <class Make>
bool TemporaryFile::createBeside(const std::string& target, const char* prefix, Make make)
{
    size_t at = target.find_last_of(kFolderSeparators);
    std::string folder = at == std::string::npos ? "." : target.substr(0, at);
    // The separator found, as a path in the "\\?\" form on Windows takes
    // "\" alone.
    char separator = at == std::string::npos ? '/' : target[at];
    for (int attempt = 0; attempt < 100; attempt++)
    {
        // The name is complete before the file exists, so that running out
        // of memory can never leave a file nobody removes.
        uint32_t random[kRandomLength];
        if (!randomBytes(random, sizeof random))
            return false;
        std::string name = folder + separator + prefix;
        for (uint32_t value : random)
            name += kRandomCharacters[value % (sizeof kRandomCharacters - 1)];
        Creation made = make(name);
        if (made == Creation::Created)
        {
            path = std::move(name);
            return true;
        }
        if (made == Creation::Failed)
            return false;
    }
    return false;
}

bool TemporaryFile::create(const std::string& target, const char* prefix)
{
    return createBeside(target, prefix, [&](const std::string& name) { return createPrivateFile(name, file); });
}

bool TemporaryFile::createCopy(const std::string& target, const char* prefix, SystemFile source, const char* from)
{
    return createBeside(target, prefix,
                        [&](const std::string& name) { return ::createCopy(source, from, name, file); });
}

bool TemporaryFile::write(const void* data, size_t size)
{
    return writeAll(file, data, size);
}

bool TemporaryFile::replace(const std::string& target, bool keepPermissions)
{
    // Only a regular file is ever replaced: never a folder, a FIFO or a device.
    PathKind kind = kindOf(target.c_str());
    if (kind == PathKind::Folder || kind == PathKind::Other)
        return false;
    if (keepPermissions)
        takePermissionsOf(file, target);
    SystemFile closing = file;
    file = SystemFile();
    if (!closeFile(closing) || !moveOver(path, target))
        return false;
    path.clear();
    return true;
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
    PathKind target = kindOf(to);
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

void removeLeftoverDownloads(const char* path)
{
    std::string target = path;
    size_t at = target.find_last_of(kFolderSeparators);
    removeRegularFiles(at == std::string::npos ? "." : target.substr(0, at + 1), isTemporaryName, kDownloadPrefix);
}
