// File services on Linux: POSIX calls and std::filesystem.
#include "linux_platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

Descriptor::~Descriptor()
{
    if (number >= 0)
        close(number);
}

TemporaryFile::~TemporaryFile()
{
    if (descriptor >= 0)
        close(descriptor);
    if (!path.empty())
        unlink(path.c_str());
}

bool TemporaryFile::create(const std::string& target, const char* prefix)
{
    std::string folder = std::filesystem::path(target).parent_path().string();
    if (folder.empty())
        folder = ".";
    // mkstemp would make the file 0600; an exclusive create with 0666 gives
    // it the mode any new file of the user gets.
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::random_device random;
    for (int attempt = 0; attempt < 100; attempt++)
    {
        // The name is complete before the file exists, so that running out
        // of memory can never leave a file nobody removes.
        path = folder + "/" + prefix;
        for (int i = 0; i < 8; i++)
            path += digits[random() % 36];
        descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (descriptor >= 0)
            return true;
        int error = errno;
        path.clear();
        if (error != EEXIST)
            return false;
    }
    return false;
}

bool TemporaryFile::write(const void* data, size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0)
    {
        ssize_t put = ::write(descriptor, bytes, size);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        bytes += put;
        size -= size_t(put);
    }
    return true;
}

bool TemporaryFile::replace(const std::string& target, bool keepMode)
{
    struct stat info;
    if (keepMode && stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        fchmod(descriptor, info.st_mode & 0777);
    int closing = descriptor;
    descriptor = -1;
    if (close(closing) != 0 || rename(path.c_str(), target.c_str()) != 0)
        return false;
    path.clear();
    return true;
}

bool linuxCreateFolder(const char* path)
{
    return mkdir(path, 0777) == 0;
}

bool linuxListFolder(const char* path, std::vector<std::string>& names)
{
    names.clear();
    DIR* folder = opendir(path);
    if (!folder)
        return false;
    while (dirent* entry = readdir(folder))
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    closedir(folder);
    return true;
}

bool linuxRemoveItem(const char* path)
{
    std::error_code error;
    return std::filesystem::remove_all(path, error) != static_cast<std::uintmax_t>(-1) && !error;
}

std::string linuxUsersFolder()
{
    return "/home";
}

static bool copyData(int from, int to)
{
    // copy_file_range stays inside the kernel; read and write serve where it
    // cannot (across some file systems).
    for (;;)
    {
        ssize_t copied = copy_file_range(from, nullptr, to, nullptr, size_t(1) << 30, 0);
        if (copied == 0)
            return true;
        if (copied < 0)
            break;
    }
    if (errno != EXDEV && errno != ENOSYS && errno != EOPNOTSUPP && errno != EINVAL)
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
// are the system.posix_acl_* attributes); one the destination refuses is
// skipped.
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
        ssize_t size = fgetxattr(from, name, nullptr, 0);
        if (size < 0)
            continue;
        value.resize(size_t(size) + 1);
        size = fgetxattr(from, name, value.data(), value.size());
        if (size >= 0)
            fsetxattr(to, name, value.data(), size_t(size), 0);
    }
}

bool linuxCopyFile(const char* from, const char* to)
{
    int source = open(from, O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return false;
    struct stat info;
    if (fstat(source, &info) != 0 || !S_ISREG(info.st_mode))
    {
        close(source);
        return false;
    }
    // The copy is written beside the destination and renamed over it once
    // complete, so no half-written file is ever left under its name.
    TemporaryFile copy;
    bool ok = copy.create(to, ".copy-") && copyData(source, copy.descriptor);
    if (ok)
    {
        copyAttributes(source, copy.descriptor);
        fchmod(copy.descriptor, info.st_mode & 07777);
        timespec times[2] = {info.st_atim, info.st_mtim};
        futimens(copy.descriptor, times);
        ok = copy.replace(to, false);
    }
    close(source);
    return ok;
}

bool linuxReadFile(const char* path, size_t limit, std::string& contents)
{
    // O_NONBLOCK: opening a FIFO nobody writes to would wait for ever.
    Descriptor file(open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.number < 0)
        return false;
    struct stat info;
    bool ok = fstat(file.number, &info) == 0 && S_ISREG(info.st_mode) && uint64_t(info.st_size) <= limit;
    contents.clear();
    char chunk[1 << 16];
    while (ok)
    {
        ssize_t got = read(file.number, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
        {
            ok = got == 0;
            break;
        }
        // The file may have grown since it was measured.
        ok = size_t(got) <= limit - contents.size();
        if (ok)
            contents.append(chunk, size_t(got));
    }
    return ok;
}

bool linuxReplaceFile(const char* path, const std::string& contents)
{
    TemporaryFile file;
    return file.create(path, ".replace-") && file.write(contents.data(), contents.size()) && file.replace(path, true);
}
