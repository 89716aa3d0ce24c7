// The script UI bridge: dropdown lists, button and sub-tool commands and
// localized texts, as plain functions behind the exported commands.
#pragma once

#include "common/command.h"

#include <cstdint>
#include <string>
#include <vector>

// One element of the exported table: its layout (selected, then items, and
// nothing else) is what readers of the exported table expect.
struct Dropdown
{
    int32_t selected = 0; // -1 marks a deleted dropdown until a selection is given again
    std::vector<std::string> items;
};

// The library-wide dropdown table and its current index (-1: none current).
extern TESMAR_EXPORT std::vector<Dropdown> g_dropdowns;
extern TESMAR_EXPORT int32_t g_currentDropdown;

// Which slots DropdownNew may hand out again (1: free), one mark per slot of
// the table: part of the dropdown table's state, kept beside it because the
// exported elements' layout has no room for it, and apart from the selection,
// so that a negative answer of the host never frees a list in use.
using DropdownFreeMarks = std::vector<uint8_t>;
extern DropdownFreeMarks g_dropdownFree;

// Dropdown lists. The table functions take the table, its free marks and the
// current index they work on; the others take the current dropdown, or null
// when none is current, and those that give it a selection its free mark.
int32_t dropdownNew(std::vector<Dropdown>& dropdowns, DropdownFreeMarks& free, int32_t& current);
float dropdownDelete(std::vector<Dropdown>& dropdowns, DropdownFreeMarks& free, int32_t& current);
float dropdownLoad(const std::vector<Dropdown>& dropdowns, int32_t& current, double value);
Dropdown* currentDropdown(std::vector<Dropdown>& dropdowns, int32_t current);
uint8_t* currentFreeMark(DropdownFreeMarks& free, int32_t current);

float dropdownClear(Dropdown* dropdown, uint8_t* freeMark);
float dropdownGetCount(const Dropdown* dropdown);
float dropdownGet(const Dropdown* dropdown, int32_t index, char* buffer1, int32_t buffer1Size);
float dropdownSet(Dropdown* dropdown, const char* text, int32_t index);
float dropdownFind(const Dropdown* dropdown, const char* text);
float dropdownAdd(Dropdown* dropdown, const char* text);
float dropdownInsert(Dropdown* dropdown, const char* text, int32_t index);
float dropdownRemove(Dropdown* dropdown, int32_t index);
float dropdownSelect(Dropdown* dropdown, int32_t index, uint8_t* freeMark);
float dropdownGetSelected(const Dropdown* dropdown);
float dropdownShow(Dropdown* dropdown, const char* title, const HostContext* host, uint8_t* freeMark);

// The item table handed to the host: n pointers, then the texts they point at,
// packed with their NULs, in one block of (n + ceil(t / 8)) * 8 bytes.
std::vector<uint64_t> dropdownItemTable(const std::vector<std::string>& items);

// Button, sub-tool and callback commands.
float renameButton(const char* text, char* buffer1, const HostContext* host);
float changeButtonIcon(const char* text, double value, char* buffer1, const HostContext* host);
float renameSetNext(const char* text, const HostContext* host);
float appendNewSubTool(const char* text, const HostContext* host);
float executeCallback(const char* text, double value, char* buffer1, int32_t buffer1Size, char* buffer2,
                      int32_t buffer2Size, HostContext* host);
float dropdownGetSize(Dropdown* dropdown, const char* text, double value, char* buffer1, int32_t buffer1Size,
                      char* buffer2, int32_t buffer2Size, const HostContext* host);

// Localized texts. entry is the host entry, 6 to 9 (text, title, info, descr).
enum LocalizedKind
{
    LocalizedText = 6,
    LocalizedTitle = 7,
    LocalizedInfo = 8,
    LocalizedDescr = 9,
};
float getCurrentLanguage(const HostContext* host);
float registerLocalizationFile(const char* text, const HostContext* host);
float getLocalized(LocalizedKind kind, const char* key, char* buffer1, int32_t buffer1Size,
                   const HostContext* host);

// Replaces every %ARGn% placeholder of number n in text, scanning left to
// right and never expanding placeholders inside a replacement. Answers whether
// one was replaced; false, with text as it was, also as soon as the result
// would be longer than limit bytes, so that work and memory stay within it.
bool replaceArgPlaceholders(std::string& text, int32_t n, const std::string& replacement, size_t limit);
float strReplaceArg(const char* replacement, double value, char* buffer1, int32_t buffer1Size);

// UTF-8 and wide strings; input that cannot be converted raises
// std::range_error.
TESMAR_EXPORT std::wstring widen(std::string text);
TESMAR_EXPORT std::string narrow(std::wstring text);
