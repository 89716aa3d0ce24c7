#include "scripted_host.h"

#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>

// The host the callbacks answer for: the callback table's entries are plain
// functions that take no host of their own.
static ScriptedHost* g_host = nullptr;

void parseLocalization(std::string_view text, LocalizedStrings& strings)
{
    int32_t section = -1;
    bool known = true;
    size_t start = 0;
    while (start <= text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[' && line.back() == ']' && line.size() >= 2)
        {
            std::string name(line.substr(1, line.size() - 2));
            known = true;
            if (name == "*")
            {
                section = -1;
                continue;
            }
            char* rest = nullptr;
            long number = strtol(name.c_str(), &rest, 10);
            known = !name.empty() && *rest == '\0' && number >= 0 && number <= 1000;
            section = known ? int32_t(number) : -1;
            continue;
        }
        size_t equals = line.find('=');
        if (!known || equals == std::string_view::npos || equals == 0)
            continue;
        strings[section][std::string(line.substr(0, equals))] = std::string(line.substr(equals + 1));
    }
}

bool loadLocalization(const std::string& path, LocalizedStrings& strings)
{
    std::ifstream file(utf8Path(path), std::ios::binary);
    if (!file)
        return false;
    std::ostringstream text;
    text << file.rdbuf();
    parseLocalization(text.str(), strings);
    return true;
}

static const char* lookup(const char* key, const char* suffix)
{
    if (!key)
        return nullptr;
    std::string name = std::string(key) + suffix;
    for (int32_t language : {g_host->language, -1})
    {
        auto section = g_host->strings.find(language);
        if (section == g_host->strings.end())
            continue;
        auto found = section->second.find(name);
        if (found != section->second.end())
            return found->second.c_str();
    }
    return nullptr;
}

static const char* show(const char* text)
{
    return text ? text : "(null)";
}

// Tells the log, when there is one, what the host was asked.
__attribute__((format(printf, 1, 2))) static void tell(const char* format, ...)
{
    if (!g_host->log)
        return;
    va_list arguments;
    va_start(arguments, format);
    vfprintf(g_host->log, format, arguments);
    va_end(arguments);
}

// Keeps the request in the host's record, when it has one: the request to
// fill in, or null.
static HostRequest* keep(int entry, const char* text)
{
    if (!g_host->record)
        return nullptr;
    HostRequest& request = g_host->record->emplace_back();
    request.entry = entry;
    if (text)
        request.text = text;
    return &request;
}

static void keepButton(int entry, const char* text, const char* buffer1, int32_t number)
{
    if (HostRequest* request = keep(entry, text))
    {
        request->buffer1 = buffer1 ? buffer1 : "";
        request->number = number;
    }
}

static unsigned char renameButton(const char* text, char* buffer1, int32_t zero)
{
    keepButton(0, text, buffer1, zero);
    tell("host: rename button \"%s\" to \"%s\"%s\n", show(buffer1), show(text),
         g_host->failRename ? " (refused)" : "");
    return !g_host->failRename;
}

static int32_t showDropdown(const char* title, int32_t count, char** items, int32_t selected, int32_t a, int32_t b)
{
    if (HostRequest* request = keep(1, title))
    {
        for (int32_t i = 0; i < count; i++)
            request->items.emplace_back(show(items[i]));
        request->number = selected;
        request->a = a;
        request->b = b;
    }
    tell("host: show list \"%s\", selected %d:\n", show(title), selected);
    for (int32_t i = 0; i < count; i++)
        tell("host:   %d %s\n", i, show(items[i]));
    std::optional<int32_t> answer = g_host->choose;
    if (!answer && g_host->askTerminal)
    {
        fprintf(stderr, "choose 0 to %d (-1 dismisses the list): ", count - 1);
        char line[64];
        char* end = nullptr;
        if (fgets(line, sizeof(line), stdin))
        {
            long number = strtol(line, &end, 10);
            if (end != line && (*end == '\n' || *end == '\0') && number >= INT32_MIN && number <= INT32_MAX)
                answer = int32_t(number);
        }
    }
    if (!answer)
    {
        // Nobody answered: the host hands back the selection it was given.
        tell("host: no answer (no --choose, no terminal): selection %d kept\n", selected);
        return selected;
    }
    tell("host: chose %d\n", *answer);
    return *answer;
}

static void renameSetNext(const char* text)
{
    keep(2, text);
    tell("host: next name \"%s\"\n", show(text));
}

static int32_t appendNewSubTool(const char* text)
{
    keep(3, text);
    tell("host: append sub-tool \"%s\"\n", show(text));
    return g_host->subToolCount++;
}

static int32_t currentLanguage()
{
    keep(4, nullptr);
    return g_host->language;
}

static void registerLocalizationFile(const char* path)
{
    keep(5, path);
    bool loaded = path && loadLocalization(path, g_host->strings);
    tell("host: localization file \"%s\"%s\n", show(path), loaded ? "" : " (unreadable)");
}

static const char* localizedText(const char* key)
{
    keep(6, key);
    return lookup(key, "");
}

static const char* localizedTitle(const char* key)
{
    keep(7, key);
    return lookup(key, ".title");
}

static const char* localizedInfo(const char* key)
{
    keep(8, key);
    return lookup(key, ".info");
}

static const char* localizedDescr(const char* key)
{
    keep(9, key);
    return lookup(key, ".descr");
}

static unsigned char changeButtonIcon(const char* text, char* buffer1, int32_t icon)
{
    keepButton(17, text, buffer1, icon);
    tell("host: button \"%s\" icon \"%s\" %d%s\n", show(buffer1), show(text), icon,
         g_host->failIcon ? " (refused)" : "");
    return !g_host->failIcon;
}

static float dropdownGetSize(int32_t selector, double value, const char* text, char*, int32_t buffer1Size, char*,
                             int32_t buffer2Size)
{
    if (HostRequest* request = keep(18, text))
    {
        request->number = selector;
        request->value = value;
        request->buffer1Size = buffer1Size;
        request->buffer2Size = buffer2Size;
    }
    tell("host: measure %d\n", selector);
    return g_host->sizeAnswer;
}

void installScriptedHost(ScriptedHost& host, HostContext& context, HostCallbackTable& table)
{
    g_host = &host;
    table = HostCallbackTable();
    table.renameButton = renameButton;
    table.showDropdown = showDropdown;
    table.renameSetNext = renameSetNext;
    table.appendNewSubTool = appendNewSubTool;
    table.currentLanguage = currentLanguage;
    table.registerLocalizationFile = registerLocalizationFile;
    table.localizedText = localizedText;
    table.localizedTitle = localizedTitle;
    table.localizedInfo = localizedInfo;
    table.localizedDescr = localizedDescr;
    table.changeButtonIcon = changeButtonIcon;
    table.dropdownGetSize = dropdownGetSize;
    context = HostContext();
    context.callbacks = &table;
}
