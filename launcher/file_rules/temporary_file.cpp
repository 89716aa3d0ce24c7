#include "file_rules.h"

#include <string_view>

namespace
{
// The characters of a temporary file's name after its prefix.
const char kRandomCharacters[] = "0123456789abcdefghijklmnopqrstuvwxyz";
const size_t kRandomLength = 8;
}

bool isTemporaryName(const std::string& name, const void* prefixText)
{
    std::string_view prefix = static_cast<const char*>(prefixText);
    return name.size() == prefix.size() + kRandomLength && name.compare(0, prefix.size(), prefix) == 0 &&
           name.find_first_not_of(kRandomCharacters, prefix.size()) == std::string::npos;
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
    if (!writeAll(file, data, size))
        return false;
    position += size;
    wroteUpTo(position);
    return true;
}

bool TemporaryFile::writeAt(uint64_t offset, const void* data, size_t size)
{
    if (!writeAllAt(file, offset, data, size))
        return false;
    wroteUpTo(offset + size);
    return true;
}

// A large file is written behind: once it is past kWindowsCached windows of
// 8 MiB, the writing to the disk starts of the window that many behind the
// one just complete, and the window twice that many behind, on the disk by
// then, leaves the cache. Writing gigabytes then holds a few hundred MiB of
// the cache rather than the whole file, and the cache's pages are used again
// rather than new ones taken, which is most of what writing a large file
// into the cache costs. A file of fewer windows is left to the cache alone,
// which takes it sooner than the disk could.
constexpr uint64_t kWindowBytes = uint64_t(8) << 20;
constexpr uint64_t kWindowsCached = 16;

void TemporaryFile::wroteUpTo(uint64_t end)
{
    for (; windowsDone < end / kWindowBytes; windowsDone++)
    {
        if (windowsDone >= kWindowsCached)
            startWriting(file, (windowsDone - kWindowsCached) * kWindowBytes, kWindowBytes);
        if (windowsDone >= 2 * kWindowsCached)
            releaseWritten(file, (windowsDone - 2 * kWindowsCached) * kWindowBytes, kWindowBytes);
    }
}

bool TemporaryFile::replace(const std::string& target, bool keepPermissions)
{
    // Only a regular file is ever replaced: never a folder, a FIFO or a device.
    PathKind kind = pathKind(target.c_str());
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

bool TemporaryFile::place(const std::string& target)
{
    takePermissionsOf(file, target);
    SystemFile closing = file;
    file = SystemFile();
    if (!closeFile(closing) || !moveToFreeName(path, target))
        return false;
    path.clear();
    return true;
}
