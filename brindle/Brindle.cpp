// The exported commands of the script UI bridge. Each reads the arguments it
// uses and hands them to the plain functions of brindle.h.
#include "brindle.h"

static Dropdown* current()
{
    return currentDropdown(g_dropdowns, g_currentDropdown);
}

static uint8_t* currentMark()
{
    return currentFreeMark(g_dropdownFree, g_currentDropdown);
}

HOST_COMMAND(DropdownNew)
{
    return float(dropdownNew(g_dropdowns, g_dropdownFree, g_currentDropdown));
}

HOST_COMMAND(DropdownDelete)
{
    return dropdownDelete(g_dropdowns, g_dropdownFree, g_currentDropdown);
}

HOST_COMMAND(DropdownLoad)
{
    return dropdownLoad(g_dropdowns, g_currentDropdown, value);
}

HOST_COMMAND(DropdownClear)
{
    return dropdownClear(current(), currentMark());
}

HOST_COMMAND(DropdownGetCount)
{
    return dropdownGetCount(current());
}

HOST_COMMAND(DropdownGet)
{
    return dropdownGet(current(), truncToInt(value), buffer1, buffer1Size);
}

HOST_COMMAND(DropdownSet)
{
    return dropdownSet(current(), text, truncToInt(value));
}

HOST_COMMAND(DropdownFind)
{
    return dropdownFind(current(), text);
}

HOST_COMMAND(DropdownAdd)
{
    return dropdownAdd(current(), text);
}

HOST_COMMAND(DropdownInsert)
{
    return dropdownInsert(current(), text, truncToInt(value));
}

HOST_COMMAND(DropdownRemove)
{
    return dropdownRemove(current(), truncToInt(value));
}

HOST_COMMAND(DropdownSelect)
{
    return dropdownSelect(current(), truncToInt(value), currentMark());
}

HOST_COMMAND(DropdownGetSelected)
{
    return dropdownGetSelected(current());
}

HOST_COMMAND(DropdownShow)
{
    return dropdownShow(current(), text, host, currentMark());
}

HOST_COMMAND(DropdownGetSize)
{
    return dropdownGetSize(current(), text, value, buffer1, buffer1Size, buffer2, buffer2Size, host);
}

HOST_COMMAND(RenameButton)
{
    return renameButton(text, buffer1, host);
}

HOST_COMMAND(ChangeButtonIcon)
{
    return changeButtonIcon(text, value, buffer1, host);
}

HOST_COMMAND(RenameSetNext)
{
    return renameSetNext(text, host);
}

HOST_COMMAND(AppendNewSubTool)
{
    return appendNewSubTool(text, host);
}

HOST_COMMAND(ExecuteCallback)
{
    return executeCallback(text, value, buffer1, buffer1Size, buffer2, buffer2Size, host);
}

HOST_COMMAND(GetCurrentLanguage)
{
    return getCurrentLanguage(host);
}

HOST_COMMAND(RegisterLocalizationFile)
{
    return registerLocalizationFile(text, host);
}

HOST_COMMAND(GetLocalizedText)
{
    return getLocalized(LocalizedText, text, buffer1, buffer1Size, host);
}

HOST_COMMAND(GetLocalizedTitle)
{
    return getLocalized(LocalizedTitle, text, buffer1, buffer1Size, host);
}

HOST_COMMAND(GetLocalizedInfo)
{
    return getLocalized(LocalizedInfo, text, buffer1, buffer1Size, host);
}

HOST_COMMAND(GetLocalizedDescr)
{
    return getLocalized(LocalizedDescr, text, buffer1, buffer1Size, host);
}

HOST_COMMAND(StrReplaceArg)
{
    return strReplaceArg(text, value, buffer1, buffer1Size);
}
