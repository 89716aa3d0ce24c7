// The file primitives on Linux: POSIX calls.
#include "file_primitives.h"
#include "linux_platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

Descriptor::~Descriptor()
{
    if (number >= 0)
        close(number);
}

// The permissions a new file of the user gets: 0666 less the umask. The
// umask is read where reading it changes nothing (setting it to learn it
// would race with the host's other threads); owner only when it cannot be.
static mode_t newFileMode()
{
    Descriptor status(open("/proc/self/status", O_RDONLY | O_CLOEXEC));
    char text[4096];
    ssize_t got = status.number >= 0 ? read(status.number, text, sizeof text - 1) : -1;
    if (got <= 0)
        return 0600;
    text[got] = '\0';
    const char* line = strstr(text, "\nUmask:");
    return line ? 0666 & ~mode_t(strtoul(line + 7, nullptr, 8)) : 0600;
}

bool createNewFolder(const char* path)
{
    return mkdir(path, 0777) == 0;
}

bool removeEntry(const char* path)
{
    return remove(path) == 0;
}

bool removeFile(const char* path)
{
    // unlink never takes a folder, so an entry swapped for one after the
    // look is still left alone.
    struct stat info;
    return lstat(path, &info) == 0 && (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)) && unlink(path) == 0;
}

PathKind pathKind(const char* path)
{
    struct stat info;
    if (stat(path, &info) != 0)
        return PathKind::Missing;
    if (S_ISREG(info.st_mode))
        return PathKind::Regular;
    return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::Other;
}

// Opens for reading without blocking (a FIFO nobody writes to would wait
// for ever) and keeps the descriptor, blocking again, only for a regular
// file.
static int openRegular(const char* path)
{
    int file = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file < 0)
        return -1;
    struct stat info;
    if (fstat(file, &info) != 0 || !S_ISREG(info.st_mode) || fcntl(file, F_SETFL, 0) != 0)
    {
        close(file);
        return -1;
    }
    return file;
}

FILE* openFile(const char* path)
{
    int file = openRegular(path);
    if (file < 0)
        return nullptr;
    FILE* stream = fdopen(file, "rb");
    if (!stream)
        close(file);
    return stream;
}

bool removeFolder(const char* path)
{
    return rmdir(path) == 0;
}

bool renameEntry(const char* from, const char* to)
{
    return rename(from, to) == 0;
}

// The folder stream is the system's own directory stream.
FolderStream* openFolderStream(const char* path)
{
    return reinterpret_cast<FolderStream*>(opendir(path));
}

bool nextFolderEntry(FolderStream* stream, std::string& name)
{
    dirent* entry = readdir(reinterpret_cast<DIR*>(stream));
    if (!entry)
        return false;
    name = entry->d_name;
    return true;
}

void closeFolderStream(FolderStream* stream)
{
    closedir(reinterpret_cast<DIR*>(stream));
}

bool bytesLeft(FILE* file, uint64_t& bytes)
{
    struct stat status;
    if (fstat(fileno(file), &status) != 0)
        return false;
    off_t position = ftello(file);
    if (position < 0 || position > status.st_size)
        return false;
    bytes = uint64_t(status.st_size - position);
    return true;
}

bool skipBytes(FILE* file, uint64_t bytes)
{
    return bytes <= uint64_t(INT64_MAX) && fseeko(file, off_t(bytes), SEEK_CUR) == 0;
}

std::string resolveLinks(const char* path)
{
    char* resolved = realpath(path, nullptr);
    std::string answer = resolved ? resolved : "";
    free(resolved);
    return answer;
}

std::string homeFolder()
{
    const char* home = getenv("HOME");
    return home ? home : "";
}

std::string usersFolder()
{
    return "/home";
}

static bool copyData(int from, int to, uint64_t size)
{
    // copy_file_range stays inside the kernel; it is never asked for more
    // than the source's size, as a request at a file-size limit fails even
    // with nothing left to copy. read and write serve where it cannot
    // (across some file systems, or a file such as /proc's that reports no
    // size).
    uint64_t done = 0;
    ssize_t copied = 1;
    while (done < size && copied > 0)
    {
        copied = copy_file_range(from, nullptr, to, nullptr, size_t(std::min<uint64_t>(size - done, 1 << 30)), 0);
        done += copied > 0 ? uint64_t(copied) : 0;
    }
    if (size > 0 && copied >= 0)
        return true; // all of it, or all there was once it shrank
    if (size > 0 && errno != EXDEV && errno != ENOSYS && errno != EOPNOTSUPP && errno != EINVAL)
        return false;
    char buffer[1 << 16];
    for (;;)
    {
        ssize_t got = read(from, buffer, sizeof(buffer));
        if (got == 0)
            return true;
        if (got < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t done = 0; done < got;)
        {
            ssize_t put = write(to, buffer + done, size_t(got - done));
            if (put < 0 && errno != EINTR)
                return false;
            done += put > 0 ? put : 0;
        }
    }
}

// Copies every extended attribute, the access control lists among them (they
// are the system.posix_acl_* attributes), but the file's capabilities: like
// set-ID bits, they would hand whoever runs the copy rights its owner gave
// the original alone. One the destination refuses is skipped.
static void copyAttributes(int from, int to)
{
    ssize_t length = flistxattr(from, nullptr, 0);
    if (length <= 0)
        return;
    std::vector<char> names(size_t(length) + 1);
    length = flistxattr(from, names.data(), names.size());
    if (length <= 0)
        return;
    std::vector<char> value;
    for (const char* name = names.data(); name < names.data() + length; name += strlen(name) + 1)
    {
        if (strcmp(name, "security.capability") == 0)
            continue;
        ssize_t size = fgetxattr(from, name, nullptr, 0);
        if (size < 0)
            continue;
        value.resize(size_t(size) + 1);
        size = fgetxattr(from, name, value.data(), value.size());
        if (size >= 0)
            fsetxattr(to, name, value.data(), size_t(size), 0);
    }
}

const char kFolderSeparators[] = "/";

Creation createPrivateFile(const std::string& path, SystemFile& file)
{
    // Owner only while it is written: another user who opened it now would
    // keep reading whatever comes, however private the finished file is.
    int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0)
        return errno == EEXIST ? Creation::NameTaken : Creation::Failed;
    file.value = descriptor;
    return Creation::Created;
}

Creation createCopy(SystemFile source, const char*, const std::string& path, SystemFile& file)
{
    int from = int(source.value);
    struct stat info;
    if (fstat(from, &info) != 0)
        return Creation::Failed;
    Creation made = createPrivateFile(path, file);
    if (made != Creation::Created)
        return made;
    int to = int(file.value);
    if (!copyData(from, to, uint64_t(info.st_size)))
    {
        close(to);
        file = SystemFile();
        unlink(path.c_str());
        return Creation::Failed;
    }
    copyAttributes(from, to);
    // The copy belongs to the caller: the source owner's set-ID bits would
    // hand the caller's rights to whoever runs it.
    fchmod(to, info.st_mode & 01777);
    timespec times[2] = {info.st_atim, info.st_mtim};
    futimens(to, times);
    return Creation::Created;
}

SystemFile openForReading(const char* path)
{
    return SystemFile{openRegular(path)};
}

bool nameIsFree(const char* path)
{
    struct stat info;
    return stat(path, &info) != 0 && errno == ENOENT;
}

bool fileSize(SystemFile file, uint64_t& size)
{
    struct stat info;
    if (fstat(int(file.value), &info) != 0)
        return false;
    size = uint64_t(info.st_size);
    return true;
}

int64_t readSome(SystemFile file, void* data, size_t size)
{
    for (;;)
    {
        ssize_t got = read(int(file.value), data, size);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

bool writeAll(SystemFile file, const void* data, size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0)
    {
        ssize_t put = write(int(file.value), bytes, size);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        bytes += put;
        size -= size_t(put);
    }
    return true;
}

bool writeAllAt(SystemFile file, uint64_t offset, const void* data, size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0)
    {
        if (offset > uint64_t(INT64_MAX))
            return false;
        ssize_t put = pwrite(int(file.value), bytes, size, off_t(offset));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        bytes += put;
        offset += uint64_t(put);
        size -= size_t(put);
    }
    return true;
}

void startWriting(SystemFile file, uint64_t offset, uint64_t size)
{
    sync_file_range(int(file.value), off_t(offset), off_t(size), SYNC_FILE_RANGE_WRITE);
}

void releaseWritten(SystemFile file, uint64_t offset, uint64_t size)
{
    // Only clean pages leave the cache: the range is waited for first.
    sync_file_range(int(file.value), off_t(offset), off_t(size),
                    SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    posix_fadvise(int(file.value), off_t(offset), off_t(size), POSIX_FADV_DONTNEED);
}

bool closeFile(SystemFile file)
{
    return close(int(file.value)) == 0;
}

void takePermissionsOf(SystemFile file, const std::string& target)
{
    struct stat info;
    fchmod(int(file.value), stat(target.c_str(), &info) == 0 ? info.st_mode & 0777 : newFileMode());
}

bool sameFile(SystemFile file, const char* path)
{
    struct stat open, named;
    return fstat(int(file.value), &open) == 0 && stat(path, &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

bool moveOver(const std::string& from, const std::string& to)
{
    return rename(from.c_str(), to.c_str()) == 0;
}

bool moveToFreeName(const std::string& from, const std::string& to)
{
    return renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
}

void removeCreated(const std::string& path)
{
    unlink(path.c_str());
}

// The walk keeps the descriptor of the folder it opened and of the folder
// now entered, and the identity of each folder on the way down, by which a
// folder reached through ".." is known to be the one entered before.
struct FolderWalk
{
    int first = -1;
    int current = -1;
    std::vector<std::pair<dev_t, ino_t>> way;
};

FolderWalk* openFolderWalk(const char* path)
{
    Descriptor first(open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (first.number < 0)
        return nullptr;
    // Made before the descriptor is handed over, as making it may fail.
    auto* walk = new FolderWalk{first.number, first.number, {}};
    first.number = -1;
    return walk;
}

void closeFolderWalk(FolderWalk* walk)
{
    if (walk->current != walk->first)
        close(walk->current);
    close(walk->first);
    delete walk;
}

// An entry's kind as the listing gives it, or as the entry itself (never
// what a link leads to) says on file systems whose listings do not.
static EntryKind entryKind(int folder, const dirent& entry)
{
    struct stat info;
    unsigned char type = entry.d_type;
    if (type == DT_UNKNOWN && fstatat(folder, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) == 0)
        type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN;
    return type == DT_DIR ? EntryKind::Folder : type == DT_REG ? EntryKind::Regular : EntryKind::Other;
}

// The listing reads a duplicate of the descriptor, which stays open, and is
// closed however the names end, a failed allocation included.
bool listEntries(FolderWalk* walk, std::vector<FolderEntry>& entries)
{
    int listing = dup(walk->current);
    std::unique_ptr<DIR, int (*)(DIR*)> stream(listing >= 0 ? fdopendir(listing) : nullptr, closedir);
    if (!stream)
    {
        if (listing >= 0)
            close(listing);
        return false;
    }
    while (dirent* entry = readdir(stream.get()))
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
            entries.push_back({entry->d_name, entryKind(walk->current, *entry)});
    return true;
}

bool enterFolder(FolderWalk* walk, const std::string& name)
{
    Descriptor inner(openat(walk->current, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info;
    if (inner.number < 0 || fstat(inner.number, &info) != 0)
        return false;
    walk->way.emplace_back(info.st_dev, info.st_ino);
    if (walk->current != walk->first)
        close(walk->current);
    walk->current = inner.number;
    inner.number = -1;
    return true;
}

bool leaveFolder(FolderWalk* walk)
{
    walk->way.pop_back();
    int parent = walk->way.empty() ? walk->first : openat(walk->current, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    close(walk->current);
    walk->current = parent;
    struct stat info;
    if (parent == walk->first)
        return true;
    if (parent >= 0 && fstat(parent, &info) == 0 && std::pair(info.st_dev, info.st_ino) == walk->way.back())
        return true;
    if (parent >= 0)
        close(parent);
    walk->current = walk->first;
    walk->way.clear();
    return false;
}

bool removeFileHere(FolderWalk* walk, const std::string& name)
{
    // unlinkat without AT_REMOVEDIR never takes a folder.
    return unlinkat(walk->current, name.c_str(), 0) == 0;
}

bool removeFolderHere(FolderWalk* walk, const std::string& name)
{
    return unlinkat(walk->current, name.c_str(), AT_REMOVEDIR) == 0;
}

// getrandom, which glibc has since 2.25: the C++ runtime's random_device
// would ask for arc4random, which a glibc older than 2.36 lacks.
bool randomBytes(void* data, size_t size)
{
    auto* bytes = static_cast<uint8_t*>(data);
    while (size > 0)
    {
        ssize_t got = getrandom(bytes, size, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        size -= size_t(got);
    }
    return true;
}
