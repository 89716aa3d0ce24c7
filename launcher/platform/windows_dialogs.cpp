// The file, folder and colour panels on Windows: the system's open-file
// dialog and colour chooser. Cancel or any failure counts as cancelled.
#include "windows_platform.h"

#include <commdlg.h>
#include <shobjidl.h>

namespace
{
template <typename Interface>
struct Released
{
    Interface* pointer = nullptr;
    ~Released()
    {
        if (pointer)
            pointer->Release();
    }
};

// The file-system path of a chosen item.
bool itemPath(IShellItem* item, std::string& path)
{
    wchar_t* name = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &name)))
        return false;
    path = toUtf8(name, wcslen(name));
    CoTaskMemFree(name);
    return true;
}

// Shows the open dialog with the given options; the dialog when the user
// accepted.
bool showOpenDialog(const char* title, FILEOPENDIALOGOPTIONS options, const std::vector<std::string>& extensions,
                    Released<IFileOpenDialog>& dialog)
{
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog.pointer))))
        return false;
    FILEOPENDIALOGOPTIONS current = 0;
    if (FAILED(dialog.pointer->GetOptions(&current)) || FAILED(dialog.pointer->SetOptions(current | options)))
        return false;
    std::wstring wideTitle;
    if (title && toWide(title, wideTitle))
        dialog.pointer->SetTitle(wideTitle.c_str());
    // One filter of every allowed extension: "*.obj;*.ma".
    std::wstring pattern;
    for (const std::string& extension : extensions)
    {
        std::wstring wide;
        if (toWide(extension.c_str(), wide))
            pattern += (pattern.empty() ? L"*." : L";*.") + wide;
    }
    COMDLG_FILTERSPEC filter = {pattern.c_str(), pattern.c_str()};
    if (!pattern.empty() && FAILED(dialog.pointer->SetFileTypes(1, &filter)))
        return false;
    return dialog.pointer->Show(nullptr) == S_OK;
}
}

bool windowsOpenFilesPanel(const char* title, const std::vector<std::string>& extensions,
                           std::vector<std::string>& paths)
{
    ComScope com;
    Released<IFileOpenDialog> dialog;
    Released<IShellItemArray> items;
    DWORD count = 0;
    if (!showOpenDialog(title, FOS_ALLOWMULTISELECT | FOS_FORCEFILESYSTEM, extensions, dialog) ||
        FAILED(dialog.pointer->GetResults(&items.pointer)) || FAILED(items.pointer->GetCount(&count)))
        return false;
    std::vector<std::string> chosen;
    for (DWORD i = 0; i < count; i++)
    {
        Released<IShellItem> item;
        std::string path;
        if (FAILED(items.pointer->GetItemAt(i, &item.pointer)) || !itemPath(item.pointer, path))
            return false;
        chosen.push_back(path);
    }
    paths = std::move(chosen);
    return true;
}

bool windowsChooseFolderPanel(const char* title, std::string& folder)
{
    ComScope com;
    Released<IFileOpenDialog> dialog;
    Released<IShellItem> item;
    std::string path;
    if (!showOpenDialog(title, FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM, {}, dialog) ||
        FAILED(dialog.pointer->GetResult(&item.pointer)) || !itemPath(item.pointer, path))
        return false;
    folder = path;
    return true;
}

ColorAnswer windowsColorPanel(const RgbColor& initial)
{
    // The panel's sixteen custom colours live for the call only.
    COLORREF custom[16];
    for (COLORREF& colour : custom)
        colour = RGB(255, 255, 255);
    CHOOSECOLORW choose = {};
    choose.lStructSize = sizeof choose;
    choose.rgbResult = RGB(initial.red, initial.green, initial.blue);
    choose.lpCustColors = custom;
    choose.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!ChooseColorW(&choose))
        return ColorAnswer{};
    ColorAnswer accepted;
    accepted.accepted = true;
    accepted.chosen = true;
    accepted.color = {GetRValue(choose.rgbResult), GetGValue(choose.rgbResult), GetBValue(choose.rgbResult)};
    return accepted;
}
