// plugin-host: loads a plug-in library and calls its commands the way the
// host application does, with a scriptable stand-in for the host's services.
#include "call.h"
#include "common/command.h"
#include "command_names.h"
#include "common/command_table.h"
#include "common/utf8.h"
#include "library_loader.h"
#include "reference.h"
#include "scripted_host.h"

#include <unistd.h>
#if defined(_WIN32)
#include <windows.h>
#endif

#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

extern const char kVersion[];

static const char kUsage[] =
    "usage: plugin-host [HOST OPTIONS] LIBRARY COMMAND [CALL OPTIONS]\n"
    "       plugin-host [HOST OPTIONS] LIBRARY --script FILE   (FILE - reads standard input)\n"
    "       plugin-host --commands [LIBRARY]   (the commands LIBRARY exports; without it, all and their libraries)\n"
    "       plugin-host --help [COMMAND]   (a command's synopsis from the command reference)\n"
    "       plugin-host --version   (the release's version and the source's revision)\n"
    "\n"
    "host options:\n"
    "  --choose N        answer N when a list is shown, as given: -1 is the user dismissing it\n"
    "                    (default: ask on a terminal, else keep the selection)\n"
    "  --lang N          the host's language number (default 0)\n"
    "  --strings FILE    localized texts: key=value lines, [N] starts language N\n"
    "  --fail-rename     refuse to rename buttons\n"
    "  --fail-icon       refuse to change button icons\n"
    "  --size-answer X   the host's answer to a size request\n"
    "\n"
    "call options (a script line is COMMAND and these, with \"...\" quoting):\n"
    "  --text T          the text (default: null)\n"
    "  --value V         the number (default 0)\n"
    "  --buf1 TEXT       buffer 1 holds TEXT and a NUL; its size is their length\n"
    "  --list E...       buffer 1 holds the entries, each with its NUL\n"
    "  --buf1-size N     the size passed for buffer 1 (default: its content, else 1024)\n"
    "  --no-buf1         pass a null buffer 1\n"
    "  --buf2 ..., --buf2-size N, --no-buf2   the same for buffer 2\n"
    "  --buf1-from-previous   in a script: buffer 1 holds the text the previous call left in\n"
    "                    its buffer 1, with that buffer's size (--buf1-size N sets another)\n"
    "  --no-host         pass a null host context\n";

static bool fail(const std::string& message)
{
    fprintf(stderr, "plugin-host: %s\n", message.c_str());
    return false;
}

// Prints the synopsis the command reference gives for command.
static int printSynopsis(const std::string& command)
{
    std::vector<Synopsis> synopses = readSynopses(kCommandReference);
    const Synopsis* synopsis = findSynopsis(synopses, command);
    if (!synopsis)
        return fail("no command '" + command + "' (plugin-host --commands lists them)"), 2;
    fputs(synopsis->text.c_str(), stdout);
    return 0;
}

static bool parseInt(const char* text, int32_t& out)
{
    const char* end = text + strlen(text);
    auto [ptr, ec] = std::from_chars(text, end, out);
    return ec == std::errc() && ptr == end && ptr != text;
}

static bool parseFloat(const char* text, float& out)
{
    const char* end = text + strlen(text);
    auto [ptr, ec] = std::from_chars(text, end, out);
    return ec == std::errc() && ptr == end && ptr != text;
}

// ", not 'WORD'" for the word after option i, when there is one.
static std::string given(int argc, char** argv, int i)
{
    return i + 1 < argc ? std::string(", not '") + argv[i + 1] + "'" : std::string();
}

// Without a library: every command and the libraries that carry it; with
// one: the commands it exports.
static int listCommands(const char* path)
{
    if (!path)
    {
        for (size_t c = 0; c < kCommandCount; c++)
            printf("%-24s %s\n", kCommands[c].name, libraryNames(kCommands[c].libraries).c_str());
        return 0;
    }
    void* library = loadPluginLibrary(path);
    if (!library)
        return fail(std::string("cannot load library: ") + pluginLoadError()), 2;
    for (size_t c = 0; c < kCommandCount; c++)
        if (findPluginSymbol(library, kCommands[c].name))
            printf("%s\n", kCommands[c].name);
    closePluginLibrary(library);
    return 0;
}

struct Session
{
    void* library = nullptr;
    std::string libraryName;
    std::optional<BufferSpec> previousBuffer1; // what the previous call left in buffer 1
    ScriptedHost host;
    HostContext context{};
    HostCallbackTable table{};
};

// Why the library has no command of that name, and what was probably meant.
static std::string missingCommand(const Session& session, const std::string& name)
{
    if (const CommandInfo* info = findCommand(name.c_str()))
        return name + " is a command of " + librariesHere(info->libraries) + ", not of " + session.libraryName;
    const CommandInfo& closest = closestCommand(name);
    std::string message = "unknown command '" + name + "'; the closest is " + closest.name;
    if (!findPluginSymbol(session.library, closest.name))
        message += ", a command of " + librariesHere(closest.libraries);
    return message + " (plugin-host --commands lists them)";
}

static bool runCall(Session& session, const CallSpec& call)
{
    const CommandInfo* info = findCommand(call.command.c_str());
    auto entry = reinterpret_cast<HostCommandEntry>(findPluginSymbol(session.library, call.command.c_str()));
    if (!info || !entry)
        return fail(missingCommand(session, call.command));

    BufferSpec spec1 = call.buffer1;
    if (spec1.fromPrevious)
    {
        if (!session.previousBuffer1)
            return fail("--buf1-from-previous: there is no previous call");
        spec1 = *session.previousBuffer1;
        if (call.buffer1.sizeGiven)
            spec1.size = call.buffer1.size;
    }
    HostBuffer buffer1 = makeBuffer(spec1);
    HostBuffer buffer2 = makeBuffer(call.buffer2);
    fflush(session.host.log);
    float result = entry(call.text ? call.text->c_str() : nullptr, call.value, buffer1.data(), buffer1.size,
                         buffer2.data(), buffer2.size, call.nullHost ? nullptr : &session.context);
    printf("%s -> %s", call.command.c_str(), formatResult(result).c_str());
    if (info->arguments & ArgBuffer1)
        printf("  buffer1=%s", quoteBuffer(buffer1.data(), int32_t(buffer1.capacity)).c_str());
    printf("\n");
    fflush(stdout);
    session.previousBuffer1 = passOn(buffer1);
    return true;
}

static bool runScript(Session& session, std::istream& in)
{
    std::string line;
    int number = 0;
    std::vector<std::string> words;
    std::string error;
    while (std::getline(in, line))
    {
        number++;
        CallSpec call;
        if (!splitScriptLine(line, words, error))
            return fail("line " + std::to_string(number) + ": " + error);
        if (words.empty())
            continue;
        if (!parseCall(words, call, error))
            return fail("line " + std::to_string(number) + ": " + error);
        if (!runCall(session, call))
            return fail("line " + std::to_string(number) + " failed");
    }
    return true;
}

// An option that ends the program at once (--help, --commands, --version):
// its exit code.
static std::optional<int> runInfoOption(const std::string& option, const char* value)
{
    if (option == "--help")
    {
        if (value)
            return printSynopsis(value);
        fputs(kUsage, stdout);
        return 0;
    }
    if (option == "--commands")
        return listCommands(value);
    if (option == "--version")
        return printf("plugin-host %s\n", kVersion) < 0;
    return std::nullopt;
}

// The option argv[i] that sets the stand-in host, with its value, moving i
// past that value; false after a message on a wrong one.
static bool readHostOption(int argc, char** argv, int& i, ScriptedHost& host)
{
    std::string option = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (option == "--fail-rename")
        host.failRename = true;
    else if (option == "--fail-icon")
        host.failIcon = true;
    else if (option == "--choose" || option == "--lang")
    {
        int32_t number = 0;
        if (!value || !parseInt(value, number))
            return fail(option + " takes a whole number" + given(argc, argv, i));
        if (option == "--choose")
            host.choose = number;
        else
            host.language = number;
        i++;
    }
    else if (option == "--size-answer")
    {
        if (!value || !parseFloat(value, host.sizeAnswer))
            return fail(option + " takes a number" + given(argc, argv, i));
        i++;
    }
    else if (option == "--strings")
    {
        if (!value)
            return fail("--strings takes a file of localized texts");
        if (!loadLocalization(argv[++i], host.strings))
            return fail(std::string("cannot read ") + argv[i]);
    }
    else
        return fail("unknown host option '" + option + "'\n" + kUsage);
    return true;
}

// The script named by file ("-" for standard input), line by line; 2 when
// it cannot be read.
static int runScriptFile(Session& session, const std::string& file)
{
    session.host.askTerminal = !session.host.choose && file != "-" && isatty(0);
    if (file == "-")
        return runScript(session, std::cin) ? 0 : 1;
    std::ifstream in(utf8Path(file));
    if (!in)
        return fail("cannot read " + file), 2;
    return runScript(session, in) ? 0 : 1;
}

static int run(int argc, char** argv)
{
    Session session;
    int i = 1;
    for (; i < argc && strncmp(argv[i], "--", 2) == 0; i++)
    {
        if (std::optional<int> code = runInfoOption(argv[i], i + 1 < argc ? argv[i + 1] : nullptr))
            return *code;
        if (!readHostOption(argc, argv, i, session.host))
            return 2;
    }
    if (argc - i < 2)
        return fail(std::string("a library and a command are needed\n") + kUsage), 2;

    const char* path = argv[i++];
    std::vector<std::string> words(argv + i, argv + argc);
    bool script = words[0] == "--script";
    CallSpec call;
    std::string error;
    if (script && words.size() != 2)
        return fail("--script takes one file"), 2;
    if (!script && !parseCall(words, call, error))
        return fail(error), 2;

    session.library = loadPluginLibrary(path);
    if (!session.library)
        return fail(std::string("cannot load library: ") + pluginLoadError()), 2;
    session.libraryName = libraryName(path);
    installScriptedHost(session.host, session.context, session.table);

    int code;
    if (script)
        code = runScriptFile(session, words[1]);
    else
    {
        session.host.askTerminal = !session.host.choose && isatty(0);
        code = runCall(session, call) ? 0 : 1;
    }
    closePluginLibrary(session.library);
    return code;
}

#if defined(_WIN32)
// The arguments as UTF-8, from the wide command line: the narrow arguments
// Windows gives main are in the ANSI code page.
int main()
{
    int argc = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!wide)
        return 2;
    std::vector<std::string> words;
    for (int i = 0; i < argc; i++)
        words.push_back(utf16ToUtf8(reinterpret_cast<const char16_t*>(wide[i])));
    LocalFree(wide);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    return run(argc, argv.data());
}
#else
int main(int argc, char** argv)
{
    return run(argc, argv);
}
#endif
