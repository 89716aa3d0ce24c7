// The desktop services the launcher's commands need, behind one interface in
// four groups (files, processes, desktop, network): the Linux and Windows
// implementations serve the libraries, and tests install a double. A program
// is linked with the groups it uses and no others, so that a library given
// fewer (Brindle has files and processes) cannot call into a missing one.
// Each service is named for what it does.
#pragma once

#include "http_exchange.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

// One monitor in root-window pixels: origin at the upper left, y down.
struct MonitorRect
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool primary = false;
};

// The monitors in the window system's order and where the window holding
// the keyboard focus lies; no monitors without a display.
struct ScreenLayout
{
    std::vector<MonitorRect> monitors;
    bool focused = false; // an application window has the focus
    int32_t focusCentreX = 0; // its centre, root-window pixels
    int32_t focusCentreY = 0;
};

// A key of the current keyboard mapping, the text it types without
// modifiers and the text it types with Shift (a dead key's
// accent only without modifiers); either may be empty.
struct KeyText
{
    uint16_t code = 0;
    std::string text;
    std::string shifted;
};

// The keys that type a text, in ascending code order, and the keys the
// typing command presses around them.
struct KeyboardMap
{
    std::vector<KeyText> keys;
    uint16_t shift = 0;
    uint16_t enter = 0;
    uint16_t space = 0;
};

struct KeyEvent
{
    uint16_t code = 0;
    bool down = false;
};

// A colour on the 8-bit scale of each channel.
struct RgbColor
{
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

// What the colour panel answered: whether the user accepted, and the colour
// when the answer read as one.
struct ColorAnswer
{
    bool accepted = false;
    bool chosen = false;
    RgbColor color;
};

// What opening a file with its default application came to.
enum class OpenOutcome
{
    Started,
    FileMissing,
    NoApplication, // none for this file, or no opener at all
    OpenerFailed,  // the opener ended with openerStatus
    Failed,
};

struct OpenAnswer
{
    OpenOutcome outcome = OpenOutcome::Failed;
    int openerStatus = 0; // 1 to 255, for OpenerFailed
};

// What a path names.
enum class PathKind
{
    Missing,
    Regular,
    Folder,
    Other, // a FIFO, a device, a socket
};

enum class CopyOutcome
{
    Copied,
    SameFile, // both paths name one file: nothing to do
    SourceMissing,
    Refused, // a source or a destination that is not a regular file
    Failed,
};

// An open listing of a folder's entries.
struct FolderStream;

// Decides by an entry's name whether a removal takes it.
using EntryPick = bool (*)(const std::string& name, const void* context);

struct FileServices
{
    // Creates one folder, not its missing parents; true when it was created.
    bool (*createFolder)(const char* path);
    // Removes the entries of a folder that pick takes by name: files and
    // links, and folders too, with everything inside them when recursive,
    // otherwise only when empty. The folder is opened once and all the work
    // is done inside it as opened, so that a folder renamed or replaced by a
    // link meanwhile never redirects a removal elsewhere. False when the
    // folder cannot be opened.
    bool (*removeInFolder)(const char* folder, EntryPick pick, const void* context, bool recursive);
    // Removes a file, a link or an empty folder; true when it was removed.
    bool (*removeEntry)(const char* path);
    // Removes a regular file or a link (never what the link leads to); a
    // folder, a FIFO, a socket or a device stays. True when it was removed.
    bool (*removeFile)(const char* path);
    // What a path names now, following links.
    PathKind (*pathKind)(const char* path);
    // Removes an empty folder; true when it was removed.
    bool (*removeFolder)(const char* path);
    // Moves an entry to a new name. A file replaces a file of that name; a
    // folder never replaces a file, nor a file a folder.
    bool (*renameEntry)(const char* from, const char* to);
    // Opens a folder's listing; null when it cannot be listed.
    FolderStream* (*openFolderStream)(const char* path);
    // The next entry's name, "." and ".." included where the system lists
    // them; false at the end.
    bool (*nextFolderEntry)(FolderStream* stream, std::string& name);
    void (*closeFolderStream)(FolderStream* stream);
    // Opens a file for reading in binary mode without ever blocking on a
    // special file: null unless path names a regular file. (Files are
    // written through the temporary-file rule, never in place.)
    FILE* (*openFile)(const char* path);
    // The bytes between an open file's position and its end.
    bool (*bytesLeft)(FILE* file, uint64_t& bytes);
    // Moves an open file's position forward by bytes, with positions of 64
    // bits (past 2 and 4 GiB) on every system.
    bool (*skipBytes)(FILE* file, uint64_t bytes);
    // The path of the file path names with every link resolved; empty when
    // it cannot be resolved.
    std::string (*resolveLinks)(const char* path);
    // The folder that holds the users' home folders; empty when unknown.
    std::string (*usersFolder)();
    // The user's home folder as the environment gives it; empty when unset.
    std::string (*homeFolder)();
    // Copies a regular file's data, permissions (less set-user-ID and
    // set-group-ID), times and extended attributes (less file
    // capabilities); the destination appears
    // only once it is complete. The source is opened without blocking, and
    // a destination that exists must be a regular file.
    CopyOutcome (*copyFile)(const char* from, const char* to);
    // Reads a regular file whole, without blocking on any other kind; false
    // when it cannot be read or holds more than limit bytes.
    bool (*readFile)(const char* path, size_t limit, std::string& contents);
    // Replaces a file's contents: written beside it and moved over it, so
    // that it is never seen half-written; the file keeps its permissions.
    // Anything but a regular file in its place is left alone: false.
    bool (*replaceFile)(const char* path, const std::string& contents);
    // Removes what downloads to path left beside it when their process was
    // killed midway: the regular files of its folder named exactly as a
    // download's temporary files are, never a link or anything else.
    void (*removeLeftoverDownloads)(const char* path);
};

struct ProcessServices
{
    // Starts the application at path with the arguments in order, without
    // waiting for it; true once it runs (false for a missing or
    // non-executable file, or a folder).
    bool (*launchApplication)(const char* path, const std::vector<std::string>& arguments);
    // Names of the calling user's running applications, in the platform's order.
    void (*runningApplications)(std::vector<std::string>& names);
    // Opens a file with its default application. Waits waitMilliseconds at
    // most for a separate opener to report: one still running then counts
    // as started.
    OpenAnswer (*openWithDefaultApplication)(const char* path, int waitMilliseconds);
};

struct DesktopServices
{
    // Screens, windows and input.
    // The monitors and the focused window's centre, read in one go.
    ScreenLayout (*screenLayout)();
    // Whether this process's first window shows full screen; false with no window.
    bool (*firstWindowFullScreen)();
    // Asks the window manager to switch the first window's full-screen mode;
    // nothing when the process has no window.
    void (*toggleFirstWindowFullScreen)();
    // The current keyboard mapping; false without a display.
    bool (*keyboardMap)(KeyboardMap& map);
    // Posts key presses and releases in order to whatever has the focus.
    void (*postKeys)(const std::vector<KeyEvent>& events);
    // Clicks the left button at a root-window point (origin upper left, y down).
    void (*postClick)(int32_t x, int32_t y);

    // Dialogs, modal: each returns once the user has answered. Without a
    // display a panel counts as cancelled.
    // The open-files panel: several files of the given extensions, every
    // type when there are none; title may be null. True with the chosen
    // paths when the user accepted; false, paths untouched, otherwise.
    bool (*openFilesPanel)(const char* title, const std::vector<std::string>& extensions,
                           std::vector<std::string>& paths);
    // The choose-folder panel: true with the chosen folder when accepted.
    bool (*chooseFolderPanel)(const char* title, std::string& folder);
    // The colour panel, preset to initial.
    ColorAnswer (*colorPanel)(const RgbColor& initial);
};

struct NetworkServices
{
    // Sends message to the companion listening on the loopback address at
    // port and waits waitMilliseconds at most for each step (connecting,
    // sending, its reply): 0 when it replied or closed the connection, -2
    // without a loopback address, -3 when it cannot be reached or takes no
    // message, -1 for any other failure.
    int (*exchangeWithCompanion)(uint16_t port, const char* message, size_t length, int waitMilliseconds);
    // Sends request and reads its answer (a redirect is answered, not
    // followed) within the request's deadline and limit. False when the
    // exchange failed: no connection, an error on the way, the deadline or
    // the limit passed. A body cut short may still come back where the HTTP
    // library cannot tell: its lengths and chunks say whether it is whole.
    bool (*httpExchange)(const HttpRequest& request, HttpAnswer& answer);
};

// The system's own services of each group, defined by the group's part of
// the implementation a program is linked with.
const FileServices& systemFileServices();
const ProcessServices& systemProcessServices();
const DesktopServices& systemDesktopServices();
const NetworkServices& systemNetworkServices();

// Services a test installs in place of the system's; a null group is the
// system's own.
struct InstalledServices
{
    const FileServices* files = nullptr;
    const ProcessServices* processes = nullptr;
    const DesktopServices* desktop = nullptr;
    const NetworkServices* network = nullptr;
};
const InstalledServices& installedServices();
// Installs services for tests; {} restores the system's.
void installServices(const InstalledServices& services);

// The services in use: the system's own unless a test installed others.
inline const FileServices& fileServices()
{
    const FileServices* installed = installedServices().files;
    return installed ? *installed : systemFileServices();
}
inline const ProcessServices& processServices()
{
    const ProcessServices* installed = installedServices().processes;
    return installed ? *installed : systemProcessServices();
}
inline const DesktopServices& desktopServices()
{
    const DesktopServices* installed = installedServices().desktop;
    return installed ? *installed : systemDesktopServices();
}
inline const NetworkServices& networkServices()
{
    const NetworkServices* installed = installedServices().network;
    return installed ? *installed : systemNetworkServices();
}
