// The exported file system commands.
#include "common/command.h"
#include "color_picker.h"
#include "dialogs.h"
#include "enumeration.h"
#include "file_operations.h"
#include "folders.h"
#include "small_queries.h"

HOST_COMMAND(MakeFolder)
{
    return makeFolder(text);
}

HOST_COMMAND(CreateFolder)
{
    return makeFolder(text);
}

HOST_COMMAND(FolderExists)
{
    return folderExists(text);
}

HOST_COMMAND(DeleteFolder)
{
    return deleteFolder(text);
}

HOST_COMMAND(DeleteFilesInFolder)
{
    return deleteFilesByExtension(text, buffer1);
}

HOST_COMMAND(EmptyFolder)
{
    return emptyFolder(text);
}

HOST_COMMAND(GetPublicFolder)
{
    return getPublicFolder(buffer1, buffer1Size);
}

HOST_COMMAND(GetUserPath)
{
    return getUserPath(buffer1, buffer1Size);
}

HOST_COMMAND(OpenFolder)
{
    return openFolder(g_folderStream.stream, text);
}

HOST_COMMAND(GetFile)
{
    return getFile(g_folderStream.stream, buffer1, buffer1Size);
}

HOST_COMMAND(CloseFolder)
{
    return closeFolder(g_folderStream.stream);
}

HOST_COMMAND(GetFileNumber)
{
    return getFileNumber(text);
}

HOST_COMMAND(FileDelete)
{
    return fileDelete(text);
}

HOST_COMMAND(FileRename)
{
    return fileRename(text, buffer1);
}

HOST_COMMAND(FileCopyTo)
{
    return fileCopyTo(text, buffer1);
}

HOST_COMMAND(GetFilesDialog)
{
    return getFilesDialog(g_chosenFiles, text, buffer1, buffer1Size);
}

HOST_COMMAND(GetFilePath)
{
    return getFilePath(g_chosenFiles, value, buffer1, buffer1Size);
}

HOST_COMMAND(ClearFileList)
{
    clearFilesL(g_chosenFiles);
    return 0;
}

// Kept for the scripts that call it: the panels open where the desktop puts
// them.
HOST_COMMAND(SetDefaultFolder)
{
    return 0;
}

HOST_COMMAND(ChooseFolder)
{
    return chooseFolder(buffer1, buffer1Size);
}

HOST_COMMAND(GetColorPicker)
{
    return getColorPicker(buffer1, buffer1Size);
}

HOST_COMMAND(Version)
{
    return 2021;
}

HOST_COMMAND(GetHello)
{
    return 12.5f;
}

HOST_COMMAND(HelloF)
{
    return 0;
}

HOST_COMMAND(GrabCurrentTime)
{
    return grabCurrentTime(buffer1, buffer1Size);
}
