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
    std::string folder = std::filesystem::path(to).parent_path().string();
    std::string temporary = (folder.empty() ? std::string(".") : folder) + "/.copy-XXXXXX";
    int target = mkostemp(temporary.data(), O_CLOEXEC);
    if (target < 0)
    {
        close(source);
        return false;
    }
    bool ok = copyData(source, target);
    if (ok)
    {
        copyAttributes(source, target);
        fchmod(target, info.st_mode & 07777);
        timespec times[2] = {info.st_atim, info.st_mtim};
        futimens(target, times);
    }
    ok = close(target) == 0 && ok;
    close(source);
    if (ok)
        ok = rename(temporary.c_str(), to) == 0;
    if (!ok)
        unlink(temporary.c_str());
    return ok;
}
