// The system's file services: each system's primitives, and the rules above
// them, alike on every system.
#include "file_rules.h"
#include "platform/platform.h"

const FileServices& systemFileServices()
{
    static const FileServices services = {
        .createFolder = createNewFolder,
        .removeInFolder = removeInFolder,
        .removeEntry = removeEntry,
        .removeFile = removeFile,
        .pathKind = pathKind,
        .removeFolder = removeFolder,
        .renameEntry = renameEntry,
        .openFolderStream = openFolderStream,
        .nextFolderEntry = nextFolderEntry,
        .closeFolderStream = closeFolderStream,
        .openFile = openFile,
        .bytesLeft = bytesLeft,
        .skipBytes = skipBytes,
        .resolveLinks = resolveLinks,
        .usersFolder = usersFolder,
        .homeFolder = homeFolder,
        .copyFile = copyRegularFile,
        .readFile = readWholeFile,
        .replaceFile = replaceWholeFile,
        .removeLeftoverDownloads = removeLeftoverDownloads,
    };
    return services;
}
