#include "brindle.h"

#include <cctype>
#include <cstring>

std::vector<Dropdown> g_dropdowns;
int32_t g_currentDropdown = -1;
DropdownFreeMarks g_dropdownFree;

int32_t dropdownNew(std::vector<Dropdown>& dropdowns, DropdownFreeMarks& free, int32_t& current)
{
    current = -1;
    free.resize(dropdowns.size());
    size_t slot = 0;
    while (slot < dropdowns.size() && !free[slot])
        slot++;
    if (slot == dropdowns.size())
    {
        free.push_back(0);
        dropdowns.emplace_back();
    }
    // A reused slot keeps its items: DropdownDelete emptied them, and items a
    // script added to the free slot since then stay with it.
    free[slot] = 0;
    dropdowns[slot].selected = 0;
    current = int32_t(slot);
    return current;
}

float dropdownDelete(std::vector<Dropdown>& dropdowns, DropdownFreeMarks& free, int32_t& current)
{
    Dropdown* dropdown = currentDropdown(dropdowns, current);
    uint8_t* freeMark = currentFreeMark(free, current);
    if (!dropdown || !freeMark)
        return -1;
    dropdown->selected = -1;
    *freeMark = 1;
    std::vector<std::string>().swap(dropdown->items);
    current = -1;
    return 0;
}

float dropdownLoad(const std::vector<Dropdown>& dropdowns, int32_t& current, double value)
{
    int32_t index = truncToInt(value + 0.1);
    if (index < 0 || size_t(index) >= dropdowns.size())
        return -1;
    current = index;
    return 0;
}

Dropdown* currentDropdown(std::vector<Dropdown>& dropdowns, int32_t current)
{
    if (current < 0 || size_t(current) >= dropdowns.size())
        return nullptr;
    return &dropdowns[size_t(current)];
}

uint8_t* currentFreeMark(DropdownFreeMarks& free, int32_t current)
{
    if (current < 0 || size_t(current) >= free.size())
        return nullptr;
    return &free[size_t(current)];
}

// A slot given a selection is in use again.
static void markInUse(uint8_t* freeMark)
{
    if (freeMark)
        *freeMark = 0;
}

float dropdownClear(Dropdown* dropdown, uint8_t* freeMark)
{
    if (!dropdown)
        return -1;
    dropdown->selected = 0;
    markInUse(freeMark);
    std::vector<std::string>().swap(dropdown->items);
    return 0;
}

float dropdownGetCount(const Dropdown* dropdown)
{
    return dropdown ? float(dropdown->items.size()) : 0;
}

static bool validIndex(const Dropdown& dropdown, int32_t index)
{
    return index >= 0 && size_t(index) < dropdown.items.size();
}

float dropdownGet(const Dropdown* dropdown, int32_t index, char* buffer1, int32_t buffer1Size)
{
    if (!dropdown || index < 0 || buffer1Size <= 0 || !buffer1 || !validIndex(*dropdown, index))
        return -1;
    writeTextResult(dropdown->items[size_t(index)].c_str(), buffer1, buffer1Size);
    return 0;
}

float dropdownSet(Dropdown* dropdown, const char* text, int32_t index)
{
    if (textMissing(text) || !dropdown || !validIndex(*dropdown, index))
        return -1;
    dropdown->items[size_t(index)] = text;
    return 0;
}

static bool equalFolded(const std::string& item, const char* text, size_t length)
{
    if (item.size() != length)
        return false;
    for (size_t i = 0; i < length; i++)
        if (tolower((unsigned char)item[i]) != tolower((unsigned char)text[i]))
            return false;
    return true;
}

float dropdownFind(const Dropdown* dropdown, const char* text)
{
    if (textMissing(text) || !dropdown || dropdown->items.empty())
        return -1;
    size_t length = strlen(text);
    for (size_t i = 0; i < dropdown->items.size(); i++)
        if (equalFolded(dropdown->items[i], text, length))
            return float(i);
    return -1;
}

float dropdownAdd(Dropdown* dropdown, const char* text)
{
    if (textMissing(text) || !dropdown)
        return -1;
    dropdown->items.emplace_back(text);
    return float(dropdown->items.size() - 1);
}

float dropdownInsert(Dropdown* dropdown, const char* text, int32_t index)
{
    if (textMissing(text) || !dropdown || index < 0 || size_t(index) > dropdown->items.size())
        return -1;
    dropdown->items.insert(dropdown->items.begin() + index, text);
    // Keep the selection on the item it marked.
    if (dropdown->selected >= index && size_t(dropdown->selected) < dropdown->items.size())
        dropdown->selected++;
    return float(index);
}

float dropdownRemove(Dropdown* dropdown, int32_t index)
{
    if (!dropdown || !validIndex(*dropdown, index))
        return -1;
    dropdown->items.erase(dropdown->items.begin() + index);
    // Removing the selected item selects the one before it; 0 stays 0.
    if (dropdown->selected > 0 && dropdown->selected >= index)
        dropdown->selected--;
    return float(index);
}

float dropdownSelect(Dropdown* dropdown, int32_t index, uint8_t* freeMark)
{
    if (!dropdown || index < 0 || (index != 0 && size_t(index) >= dropdown->items.size()))
        return -1;
    dropdown->selected = index;
    markInUse(freeMark);
    return float(index);
}

float dropdownGetSelected(const Dropdown* dropdown)
{
    if (!dropdown || dropdown->items.empty())
        return -1;
    return float(dropdown->selected);
}

std::vector<uint64_t> dropdownItemTable(const std::vector<std::string>& items)
{
    static_assert(sizeof(char*) == sizeof(uint64_t), "the item table is laid out for 64-bit builds");
    size_t textBytes = 0;
    for (const std::string& item : items)
        textBytes += item.size() + 1;
    size_t n = items.size();
    std::vector<uint64_t> block(n + (textBytes + 7) / 8);
    char* base = reinterpret_cast<char*>(block.data());
    char* next = base + n * sizeof(uint64_t);
    for (size_t i = 0; i < n; i++)
    {
        memcpy(base + i * sizeof(char*), &next, sizeof(char*));
        memcpy(next, items[i].c_str(), items[i].size() + 1);
        next += items[i].size() + 1;
    }
    return block;
}

float dropdownShow(Dropdown* dropdown, const char* title, const HostContext* host, uint8_t* freeMark)
{
    if (textMissing(title) || !dropdown || dropdown->items.empty())
        return -1;
    if (dropdown->items.size() == 1)
        return 0;
    const HostCallbackTable* callbacks = hostCallbacks(host);
    if (!callbacks || !callbacks->showDropdown || dropdown->items.size() > size_t(INT32_MAX))
        return -1;
    // The host reads the table only during the call; it is released here.
    std::vector<uint64_t> table = dropdownItemTable(dropdown->items);
    int32_t answer = callbacks->showDropdown(title, int32_t(dropdown->items.size()),
                                             reinterpret_cast<char**>(table.data()), dropdown->selected, 16, 80);
    dropdown->selected = answer;
    if (answer >= 0)
        markInUse(freeMark);
    return float(answer);
}
