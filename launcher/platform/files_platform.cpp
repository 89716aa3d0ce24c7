// The file services alone, for the programs that read meshes and write
// exports without the rest of the desktop (the Vyx tests, fuzzers and
// benchmarks): they need none of the display or network libraries. The
// other services stay null.
#include "linux_platform.h"
#include "platform.h"

const PlatformServices& systemPlatform()
{
    static const PlatformServices services = [] {
        PlatformServices files{};
        files.createFolder = linuxCreateFolder;
        files.removeInFolder = linuxRemoveInFolder;
        files.removeEntry = linuxRemoveEntry;
        files.removeFile = linuxRemoveFile;
        files.pathKind = linuxPathKind;
        files.removeFolder = linuxRemoveFolder;
        files.renameEntry = linuxRenameEntry;
        files.openFolderStream = linuxOpenFolderStream;
        files.nextFolderEntry = linuxNextFolderEntry;
        files.closeFolderStream = linuxCloseFolderStream;
        files.openFile = linuxOpenFile;
        files.bytesLeft = linuxBytesLeft;
        files.skipBytes = linuxSkipBytes;
        files.nativePath = linuxNativePath;
        files.resolveLinks = linuxResolveLinks;
        files.usersFolder = linuxUsersFolder;
        files.homeFolder = linuxHomeFolder;
        files.copyFile = linuxCopyFile;
        files.readFile = linuxReadFile;
        files.replaceFile = linuxReplaceFile;
        return files;
    }();
    return services;
}
