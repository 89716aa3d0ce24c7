#include "test_host.h"

#include <cstring>

static TestHost* g_testHost = nullptr;

static HostCall& record(int entry, const char* text)
{
    HostCall call;
    call.entry = entry;
    call.textNull = text == nullptr;
    call.text = text ? text : "";
    g_testHost->calls.push_back(call);
    return g_testHost->calls.back();
}

static uint32_t renameButton(const char* text, char* buffer1, int32_t number)
{
    HostCall& call = record(0, text);
    call.buffer1 = buffer1;
    call.number = number;
    return g_testHost->renameAnswer;
}

static int32_t showDropdown(const char* title, int32_t count, char** items, int32_t selected, int32_t a, int32_t b)
{
    HostCall& call = record(1, title);
    for (int32_t i = 0; i < count; i++)
        call.items.push_back(items[i]);
    call.number = selected;
    call.a = a;
    call.b = b;
    return g_testHost->showAnswer;
}

static void renameSetNext(const char* text)
{
    record(2, text);
}

static int32_t appendNewSubTool(const char* text)
{
    record(3, text);
    return g_testHost->subToolAnswer;
}

static int32_t currentLanguage()
{
    record(4, nullptr);
    return g_testHost->language;
}

static void registerLocalizationFile(const char* text)
{
    record(5, text);
}

static const char* localized(int entry, const char* key)
{
    record(entry, key);
    return g_testHost->localized;
}

static const char* localizedText(const char* key)
{
    return localized(6, key);
}

static const char* localizedTitle(const char* key)
{
    return localized(7, key);
}

static const char* localizedInfo(const char* key)
{
    return localized(8, key);
}

static const char* localizedDescr(const char* key)
{
    return localized(9, key);
}

// Casts through the generic function type, as a host's table would hold it.
template <typename To, typename From>
static To castFunction(From function)
{
    return reinterpret_cast<To>(reinterpret_cast<void (*)()>(function));
}

static uint32_t changeButtonIcon(const char* text, char* buffer1, int32_t icon)
{
    HostCall& call = record(17, text);
    call.buffer1 = buffer1;
    call.number = icon;
    return g_testHost->iconAnswer;
}

static float dropdownGetSize(int32_t selector, double value, const char* text, char*, int32_t buffer1Size, char*,
                             int32_t buffer2Size)
{
    HostCall& call = record(18, text);
    call.number = selector;
    call.value = value;
    call.buffer1Size = buffer1Size;
    call.buffer2Size = buffer2Size;
    return g_testHost->sizeAnswer;
}

TestHost::TestHost()
{
    g_testHost = this;
    // The host's booleans are whole registers; the library reads one byte.
    table.renameButton = castFunction<decltype(table.renameButton)>(renameButton);
    table.showDropdown = showDropdown;
    table.renameSetNext = renameSetNext;
    table.appendNewSubTool = appendNewSubTool;
    table.currentLanguage = currentLanguage;
    table.registerLocalizationFile = registerLocalizationFile;
    table.localizedText = localizedText;
    table.localizedTitle = localizedTitle;
    table.localizedInfo = localizedInfo;
    table.localizedDescr = localizedDescr;
    table.changeButtonIcon = castFunction<decltype(table.changeButtonIcon)>(changeButtonIcon);
    table.dropdownGetSize = dropdownGetSize;
    context.callbacks = &table;
}

TestHost::~TestHost()
{
    g_testHost = nullptr;
}
