// The file primitives on Windows: the wide-character file API. Paths arrive as
// UTF-8; one that is not fails the service as a missing file would.
#include "common/host_path.h"
#include "file_primitives.h"
#include "windows_platform.h"

#include <fcntl.h>
#include <initguid.h>
#include <io.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

namespace
{
// The pattern that lists every entry of a folder.
std::wstring everyEntry(std::wstring folder)
{
    if (folder.empty() || !isWindowsSeparator(folder.back()))
        folder += L'\\';
    return folder + L'*';
}

bool isDots(const wchar_t* name)
{
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

// Opens an entry itself, a link as the link, for reading its attributes.
HANDLE openEntry(const std::wstring& path, DWORD access, DWORD share)
{
    return CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// A read-only file cannot be deleted until it loses that attribute.
bool deleteFile(const std::wstring& path, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(path.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    return DeleteFileW(path.c_str()) != 0;
}

// Opens what a path names, links followed, for its attributes only.
HANDLE openFollowed(const std::wstring& path)
{
    return CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// What a wide path names now, following links.
PathKind kindOf(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PathKind::Missing;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return PathKind::Folder;
    // Device names (NUL, CON, COM1) and pipes have attributes too.
    Handle file(openFollowed(path));
    return file.valid() && GetFileType(file.value) != FILE_TYPE_DISK ? PathKind::Other : PathKind::Regular;
}

// The volume and file index of the file a path names, links followed.
bool fileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info)
{
    Handle file(openFollowed(path));
    return file.valid() && GetFileInformationByHandle(file.value, &info);
}

// Opens a regular file for reading, never a folder or a device, sharing it
// with everyone.
HANDLE openRegular(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return file;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    {
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}
}

struct FolderStream
{
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW found;
    bool pending = false; // found holds an entry not yet given out
};

bool createNewFolder(const char* path)
{
    std::wstring wide;
    return toSystemPath(path, wide) && CreateDirectoryW(wide.c_str(), nullptr) != 0;
}

bool removeEntry(const char* path)
{
    std::wstring wide;
    if (!toSystemPath(path, wide))
        return false;
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return RemoveDirectoryW(wide.c_str()) != 0;
    return DeleteFileW(wide.c_str()) != 0;
}

bool removeFile(const char* path)
{
    std::wstring wide;
    if (!toSystemPath(path, wide))
        return false;
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    // A symbolic link or junction goes as a link, whatever it leads to.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY ? RemoveDirectoryW(wide.c_str()) : DeleteFileW(wide.c_str())) != 0;
    return !(attributes & FILE_ATTRIBUTE_DIRECTORY) && kindOf(wide) == PathKind::Regular &&
           DeleteFileW(wide.c_str()) != 0;
}

PathKind pathKind(const char* path)
{
    std::wstring wide;
    return toSystemPath(path, wide) ? kindOf(wide) : PathKind::Missing;
}

bool removeFolder(const char* path)
{
    std::wstring wide;
    return toSystemPath(path, wide) && RemoveDirectoryW(wide.c_str()) != 0;
}

bool renameEntry(const char* from, const char* to)
{
    std::wstring source, target;
    if (!toSystemPath(from, source) || !toSystemPath(to, target))
        return false;
    DWORD attributes = GetFileAttributesW(source.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    // Only a file replaces anything, and then only a file (Windows refuses a
    // folder in its place): asked to replace, Windows would also move a
    // folder over a file and delete the file, where Linux refuses. A folder
    // never replaces even an empty folder here, unlike on Linux.
    DWORD replace = attributes & FILE_ATTRIBUTE_DIRECTORY ? 0 : MOVEFILE_REPLACE_EXISTING;
    return MoveFileExW(source.c_str(), target.c_str(), replace) != 0;
}

FolderStream* openFolderStream(const char* path)
{
    std::wstring folder;
    if (!toSystemPath(path, folder))
        return nullptr;
    DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return nullptr;
    FolderStream* stream = new FolderStream;
    stream->find = FindFirstFileExW(everyEntry(folder).c_str(), FindExInfoBasic, &stream->found,
                                    FindExSearchNameMatch, nullptr, 0);
    stream->pending = stream->find != INVALID_HANDLE_VALUE;
    // A folder with no entry at all (a drive's root may list none) is an
    // empty stream; any other failure is none.
    if (!stream->pending && GetLastError() != ERROR_FILE_NOT_FOUND)
    {
        delete stream;
        return nullptr;
    }
    return stream;
}

bool nextFolderEntry(FolderStream* stream, std::string& name)
{
    if (!stream->pending)
    {
        if (stream->find == INVALID_HANDLE_VALUE || !FindNextFileW(stream->find, &stream->found))
            return false;
    }
    stream->pending = false;
    name = toUtf8(stream->found.cFileName, wcslen(stream->found.cFileName));
    return true;
}

void closeFolderStream(FolderStream* stream)
{
    if (stream->find != INVALID_HANDLE_VALUE)
        FindClose(stream->find);
    delete stream;
}

FILE* openFile(const char* path)
{
    std::wstring wide;
    if (!toSystemPath(path, wide))
        return nullptr;
    HANDLE file = openRegular(wide);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    int descriptor = _open_osfhandle(intptr_t(file), _O_RDONLY | _O_BINARY);
    if (descriptor < 0)
    {
        CloseHandle(file);
        return nullptr;
    }
    FILE* stream = _fdopen(descriptor, "rb");
    if (!stream)
        _close(descriptor);
    return stream;
}

bool bytesLeft(FILE* file, uint64_t& bytes)
{
    LARGE_INTEGER size;
    __int64 position = _ftelli64(file);
    if (position < 0 || !GetFileSizeEx(HANDLE(_get_osfhandle(_fileno(file))), &size) || position > size.QuadPart)
        return false;
    bytes = uint64_t(size.QuadPart - position);
    return true;
}

bool skipBytes(FILE* file, uint64_t bytes)
{
    // fseek takes a long, 32 bits here, and Windows' msvcrt computes its
    // relative seeks through a 32-bit position, which fails past 2 GiB
    // (Wine's does not; the DLL's import table shows fseek is not used).
    return bytes <= uint64_t(INT64_MAX) && _fseeki64(file, static_cast<__int64>(bytes), SEEK_CUR) == 0;
}

std::string usersFolder()
{
    wchar_t* folder = nullptr;
    std::string answer;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_UserProfiles, 0, nullptr, &folder)))
        answer = toUtf8(folder, wcslen(folder));
    CoTaskMemFree(folder);
    return answer;
}

std::string resolveLinks(const char* path)
{
    std::wstring wide;
    if (!toSystemPath(path, wide))
        return std::string();
    Handle file(openFollowed(wide));
    if (!file.valid())
        return std::string();
    std::wstring resolved(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file.value, resolved.data(), DWORD(resolved.size()), 0);
    if (length >= resolved.size())
    {
        resolved.resize(length);
        length = GetFinalPathNameByHandleW(file.value, resolved.data(), DWORD(resolved.size()), 0);
    }
    if (length == 0 || length >= resolved.size())
        return std::string();
    resolved.resize(length);
    // The answer starts with \\?\, which is no part of the path a user knows.
    if (resolved.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        resolved.replace(0, 8, L"\\\\");
    else if (resolved.compare(0, 4, L"\\\\?\\") == 0)
        resolved.erase(0, 4);
    return toUtf8(resolved);
}

std::string homeFolder()
{
    const wchar_t* home = _wgetenv(L"HOME");
    if (!home)
        home = _wgetenv(L"USERPROFILE");
    return home ? toUtf8(home, wcslen(home)) : std::string();
}

const char kFolderSeparators[] = "/\\";

namespace
{
HANDLE handleOf(SystemFile file)
{
    return reinterpret_cast<HANDLE>(file.value);
}

SystemFile systemFile(HANDLE handle)
{
    return SystemFile{reinterpret_cast<intptr_t>(handle)};
}

bool nameTaken(DWORD error)
{
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}
}

Creation createPrivateFile(const std::string& path, SystemFile& file)
{
    std::wstring wide;
    if (!toSystemPath(path.c_str(), wide))
        return Creation::Failed;
    // Shared with nobody while it is written; CREATE_NEW never opens what is
    // there, a link included.
    HANDLE created = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE)
        return nameTaken(GetLastError()) ? Creation::NameTaken : Creation::Failed;
    file = systemFile(created);
    return Creation::Created;
}

Creation createCopy(SystemFile source, const char* from, const std::string& path, SystemFile& file)
{
    std::wstring wideFrom, wide;
    BY_HANDLE_FILE_INFORMATION info;
    if (!toSystemPath(from, wideFrom) || !toSystemPath(path.c_str(), wide) ||
        !GetFileInformationByHandle(handleOf(source), &info))
        return Creation::Failed;
    if (!CopyFileExW(wideFrom.c_str(), wide.c_str(), nullptr, nullptr, nullptr, COPY_FILE_FAIL_IF_EXISTS))
        return nameTaken(GetLastError()) ? Creation::NameTaken : Creation::Failed;
    HANDLE copy = CreateFileW(wide.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (copy == INVALID_HANDLE_VALUE ||
        !SetFileTime(copy, &info.ftCreationTime, &info.ftLastAccessTime, &info.ftLastWriteTime))
    {
        if (copy != INVALID_HANDLE_VALUE)
            CloseHandle(copy);
        removeCreated(path);
        return Creation::Failed;
    }
    file = systemFile(copy);
    return Creation::Created;
}

SystemFile openForReading(const char* path)
{
    std::wstring wide;
    return toSystemPath(path, wide) ? systemFile(openRegular(wide)) : SystemFile();
}

bool nameIsFree(const char* path)
{
    // A text that is not UTF-8 names nothing here.
    std::wstring wide;
    if (!toSystemPath(path, wide))
        return true;
    if (GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool fileSize(SystemFile file, uint64_t& size)
{
    LARGE_INTEGER bytes;
    if (!GetFileSizeEx(handleOf(file), &bytes))
        return false;
    size = uint64_t(bytes.QuadPart);
    return true;
}

int64_t readSome(SystemFile file, void* data, size_t size)
{
    DWORD got = 0;
    DWORD chunk = size > (DWORD(1) << 30) ? (DWORD(1) << 30) : DWORD(size);
    return ReadFile(handleOf(file), data, chunk, &got, nullptr) ? int64_t(got) : -1;
}

bool writeAll(SystemFile file, const void* data, size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0)
    {
        DWORD chunk = size > (DWORD(1) << 30) ? (DWORD(1) << 30) : DWORD(size);
        DWORD written = 0;
        if (!WriteFile(handleOf(file), bytes, chunk, &written, nullptr) || written == 0)
            return false;
        bytes += written;
        size -= written;
    }
    return true;
}

bool writeAllAt(SystemFile file, uint64_t offset, const void* data, size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0)
    {
        DWORD chunk = size > (DWORD(1) << 30) ? (DWORD(1) << 30) : DWORD(size);
        DWORD written = 0;
        // On a handle opened for plain writes, the offset given here is where
        // the write goes.
        OVERLAPPED at{};
        at.Offset = DWORD(offset);
        at.OffsetHigh = DWORD(offset >> 32);
        if (!WriteFile(handleOf(file), bytes, chunk, &written, &at) || written == 0)
            return false;
        bytes += written;
        offset += written;
        size -= written;
    }
    return true;
}

// Windows' cache writes a file being written behind it by itself.
void startWriting(SystemFile, uint64_t, uint64_t)
{
}

void releaseWritten(SystemFile, uint64_t, uint64_t)
{
}

bool closeFile(SystemFile file)
{
    return CloseHandle(handleOf(file)) != 0;
}

// Files here have attributes, not permissions: a new one takes its folder's.
void takePermissionsOf(SystemFile, const std::string&) {}

bool sameFile(SystemFile file, const char* path)
{
    std::wstring wide;
    BY_HANDLE_FILE_INFORMATION open, named;
    return toSystemPath(path, wide) && GetFileInformationByHandle(handleOf(file), &open) &&
           fileIdentity(wide, named) && open.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
           open.nFileIndexHigh == named.nFileIndexHigh && open.nFileIndexLow == named.nFileIndexLow;
}

bool moveOver(const std::string& from, const std::string& to)
{
    std::wstring source, target;
    return toSystemPath(from.c_str(), source) && toSystemPath(to.c_str(), target) &&
           MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
}

bool moveToFreeName(const std::string& from, const std::string& to)
{
    std::wstring source, target;
    return toSystemPath(from.c_str(), source) && toSystemPath(to.c_str(), target) &&
           MoveFileExW(source.c_str(), target.c_str(), 0);
}

void removeCreated(const std::string& path)
{
    std::wstring wide;
    if (!toSystemPath(path.c_str(), wide))
        return;
    // A copy of a read-only file is read-only too.
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(wide.c_str());
}

// The walk holds each folder of its way open without sharing its deletion,
// so that none can be renamed or replaced by a link meanwhile, and names its
// entries by the path of the folder now entered.
struct FolderWalk
{
    std::wstring path; // of the folder now entered, without a final separator
    std::vector<std::pair<HANDLE, size_t>> way; // each folder's handle and path length
};

static HANDLE holdFolder(const std::wstring& path)
{
    return openEntry(path, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE);
}

FolderWalk* openFolderWalk(const char* path)
{
    std::wstring folder;
    if (!toSystemPath(path, folder))
        return nullptr;
    Handle held(holdFolder(folder));
    if (!held.valid())
        return nullptr;
    if (!folder.empty() && isWindowsSeparator(folder.back()))
        folder.pop_back();
    // Made before the handle is handed over, as making it may fail.
    auto* walk = new FolderWalk{folder, {{held.value, folder.size()}}};
    held.value = INVALID_HANDLE_VALUE;
    return walk;
}

void closeFolderWalk(FolderWalk* walk)
{
    for (const auto& level : walk->way)
        CloseHandle(level.first);
    delete walk;
}

static EntryKind entryKind(DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return EntryKind::Other;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? EntryKind::Folder : EntryKind::Regular;
}

bool listEntries(FolderWalk* walk, std::vector<FolderEntry>& entries)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileExW(everyEntry(walk->path).c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                   nullptr, 0);
    if (find == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    // Closed however the names end, a failed allocation included.
    std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> closing(find, FindClose);
    do
    {
        if (!isDots(found.cFileName))
            entries.push_back({toUtf8(found.cFileName, wcslen(found.cFileName)), entryKind(found.dwFileAttributes)});
    } while (FindNextFileW(find, &found));
    return true;
}

bool enterFolder(FolderWalk* walk, const std::string& name)
{
    std::wstring wide;
    if (!toWide(name.c_str(), wide))
        return false;
    std::wstring inner = walk->path + L'\\' + wide;
    Handle held(holdFolder(inner));
    if (!held.valid())
        return false;
    walk->way.emplace_back(held.value, inner.size());
    held.value = INVALID_HANDLE_VALUE;
    walk->path = std::move(inner);
    return true;
}

// A folder held open cannot have moved: the way back is always the way down.
bool leaveFolder(FolderWalk* walk)
{
    CloseHandle(walk->way.back().first);
    walk->way.pop_back();
    walk->path.resize(walk->way.back().second);
    return true;
}

// The path of an entry of the folder now entered; empty for a name that is
// not UTF-8.
static std::wstring entryPath(const FolderWalk* walk, const std::string& name)
{
    std::wstring wide;
    return toWide(name.c_str(), wide) ? walk->path + L'\\' + wide : std::wstring();
}

bool removeFileHere(FolderWalk* walk, const std::string& name)
{
    std::wstring path = entryPath(walk, name);
    DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    // A link to a folder is removed as a folder would be, never followed.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && RemoveDirectoryW(path.c_str()) != 0;
    return deleteFile(path, attributes);
}

bool removeFolderHere(FolderWalk* walk, const std::string& name)
{
    std::wstring path = entryPath(walk, name);
    return !path.empty() && RemoveDirectoryW(path.c_str()) != 0;
}

bool randomBytes(void* data, size_t size)
{
    auto* bytes = static_cast<uint8_t*>(data);
    try
    {
        std::random_device random;
        for (size_t i = 0; i < size; i++)
            bytes[i] = uint8_t(random());
    }
    catch (...)
    {
        return false;
    }
    return true;
}
