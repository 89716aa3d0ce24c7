// plugin-host as a user runs it: its output, its session state across script
// lines, and its messages for mistakes.
#include "host/command_names.h"
#include "common/command_table.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

namespace
{
struct HostRun
{
    int status = -1;
    std::string out;
    std::string err;
};

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

HostRun runHost(std::vector<std::string> args, const std::string& input = "")
{
    // Tests run in parallel processes: the files are named by process and call.
    static int calls = 0;
    std::string base = testing::TempDir() + "/plugin-host-" + std::to_string(getpid()) + "-" + std::to_string(calls++);
    std::string inPath = base + ".in", outPath = base + ".out", errPath = base + ".err";
    std::ofstream(inPath, std::ios::binary) << input;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    args.insert(args.begin(), PLUGIN_HOST);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    HostRun run;
    pid_t pid = 0;
    if (posix_spawn(&pid, PLUGIN_HOST, &actions, nullptr, argv.data(), environ) == 0)
    {
        int status = 0;
        waitpid(pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = readFile(outPath);
    run.err = readFile(errPath);
    for (const std::string& path : {inPath, outPath, errPath})
        std::filesystem::remove(path);
    return run;
}
}

TEST(PluginHost, OneCallPrintsTheResultAndBufferOne)
{
    HostRun run = runHost({BRINDLE_LIBRARY, "StrReplaceArg", "--text", "12", "--value", "1", "--buf1", "a %ARG1% b",
                       "--buf1-size", "32"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "StrReplaceArg -> 0  buffer1=\"a 12 b\"\n");
}

TEST(PluginHost, ScriptKeepsStateAcrossLines)
{
    std::string strings = testing::TempDir() + "/plugin-host-strings-" + std::to_string(getpid());
    std::ofstream(strings) << "hello=Hello\n[2]\nhello=Konnichiwa\nhello.title=Title\n";
    const std::string script = "DropdownNew\n"
                               "DropdownAdd --text Sphere\n"
                               "# a comment, then a blank line\n\n"
                               "DropdownAdd --text \"Cube box\"\n"
                               "DropdownShow --text Shape\n"
                               "DropdownGetSelected\n"
                               "GetCurrentLanguage\n"
                               "GetLocalizedText --text hello --buf1-size 6\n"
                               "GetLocalizedTitle --text hello\n"
                               "RenameButton --text New --buf1 Old\n";
    HostRun run = runHost({"--choose", "1", "--lang", "2", "--strings", strings, "--fail-rename", LAUNCHER_LIBRARY,
                       "--script", "-"},
                      script);
    std::filesystem::remove(strings);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "DropdownNew -> 0\n"
                       "DropdownAdd -> 0\n"
                       "DropdownAdd -> 1\n"
                       "host: show list \"Shape\", selected 0:\n"
                       "host:   0 Sphere\n"
                       "host:   1 Cube box\n"
                       "host: chose 1\n"
                       "DropdownShow -> 1\n"
                       "DropdownGetSelected -> 1\n"
                       "GetCurrentLanguage -> 2\n"
                       "GetLocalizedText -> 0  buffer1=\"Konni\"\n"
                       "GetLocalizedTitle -> 0  buffer1=\"Title\"\n"
                       "host: rename button \"Old\" to \"New\" (refused)\n"
                       "RenameButton -> -1  buffer1=\"Old\"\n");
}

// The host's answer to a shown list passes as given, -1 included; with none
// the selection is kept and said so. A script line can take over the text the
// line before left in buffer 1.
TEST(PluginHost, AnswersAsGivenAndBufferOnePassedOn)
{
    const std::string list = "DropdownNew\nDropdownAdd --text A\nDropdownAdd --text B\nDropdownSelect --value 1\n"
                             "DropdownShow --text T\nDropdownGetSelected\n";
    const std::string shown = "DropdownNew -> 0\nDropdownAdd -> 0\nDropdownAdd -> 1\nDropdownSelect -> 1\n"
                              "host: show list \"T\", selected 1:\nhost:   0 A\nhost:   1 B\n";
    HostRun dismissed = runHost({"--choose", "-1", BRINDLE_LIBRARY, "--script", "-"}, list);
    EXPECT_EQ(dismissed.out, shown + "host: chose -1\nDropdownShow -> -1\nDropdownGetSelected -> -1\n");
    HostRun unanswered = runHost({BRINDLE_LIBRARY, "--script", "-"}, list);
    EXPECT_EQ(unanswered.out, shown + "host: no answer (no --choose, no terminal): selection 1 kept\n"
                                      "DropdownShow -> 1\nDropdownGetSelected -> 1\n");

    std::string strings = testing::TempDir() + "/plugin-host-pass-" + std::to_string(getpid());
    std::ofstream(strings) << "done=Exported %ARG1% meshes\n";
    HostRun passed = runHost({"--strings", strings, BRINDLE_LIBRARY, "--script", "-"},
                             "GetLocalizedText --text done --buf1-size 23\n"
                             "StrReplaceArg --text 3 --value 1 --buf1-from-previous\n"
                             "GetLocalizedText --text done --buf1-size 23\n"
                             "StrReplaceArg --text 1234567890 --value 1 --buf1-from-previous\n"
                             "StrReplaceArg --text 1234567890 --value 1 --buf1-from-previous --buf1-size 27\n");
    std::filesystem::remove(strings);
    EXPECT_EQ(passed.status, 0) << passed.err;
    EXPECT_EQ(passed.out, "GetLocalizedText -> 0  buffer1=\"Exported %ARG1% meshes\"\n"
                          "StrReplaceArg -> 0  buffer1=\"Exported 3 meshes\"\n"
                          "GetLocalizedText -> 0  buffer1=\"Exported %ARG1% meshes\"\n"
                          "StrReplaceArg -> -1  buffer1=\"Exported %ARG1% meshes\"\n"
                          "StrReplaceArg -> 0  buffer1=\"Exported 1234567890 meshes\"\n");
}

TEST(PluginHost, MistakesAreClearMessages)
{
    struct Case
    {
        std::vector<std::string> args;
        std::string input;
        const char* message;
    };
    const Case cases[] = {
        {{"/no/such/library.so", "DropdownNew"}, "", "cannot load library"},
        {{BRINDLE_LIBRARY, "g_dropdowns"}, "", "unknown command 'g_dropdowns'"},
        {{BRINDLE_LIBRARY, "dropdownnew"}, "", "unknown command 'dropdownnew'; the closest is DropdownNew ("},
        {{BRINDLE_LIBRARY, "doExportColada"}, "",
         "unknown command 'doExportColada'; the closest is doExportCollada, a command of TesmarLauncherDLL ("},
        {{BRINDLE_LIBRARY, "doExportCollada"}, "", "doExportCollada is a command of TesmarLauncherDLL, not of Brindle"},
        {{LAUNCHER_LIBRARY, "DropdownGetSize"}, "", "DropdownGetSize is a command of Brindle, not of TesmarLauncherDLL"},
        {{BRINDLE_LIBRARY, "DropdownGet", "--value", "two"}, "", "--value takes a number"},
        {{BRINDLE_LIBRARY}, "", "a library and a command are needed"},
        {{"--choose", "x", BRINDLE_LIBRARY, "DropdownNew"}, "", "--choose takes a whole number, not 'x'"},
        {{"--lang"}, "", "--lang takes a whole number"},
        {{"--size-answer", "big", BRINDLE_LIBRARY, "DropdownNew"}, "", "--size-answer takes a number, not 'big'"},
        {{"--what", BRINDLE_LIBRARY, "DropdownNew"}, "", "unknown host option '--what'"},
        {{BRINDLE_LIBRARY, "StrReplaceArg", "--buf1-from-previous"}, "", "--buf1-from-previous: there is no previous call"},
        {{BRINDLE_LIBRARY, "--script", "-"}, "DropdownNew\nDropdownAdd --text \"open\n", "line 2: unterminated"},
        {{BRINDLE_LIBRARY, "--script", "/no/such/script"}, "", "cannot read /no/such/script"},
    };
    for (const Case& c : cases)
    {
        HostRun run = runHost(c.args, c.input);
        EXPECT_NE(run.status, 0) << c.message;
        EXPECT_LT(run.status, 128) << c.message << ": " << run.err; // an exit, not a signal
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}

// Without a library every command with its libraries; with one, the commands
// of the table that it exports.
TEST(PluginHost, ListsTheCommands)
{
    std::string all, brindle, launcher;
    for (size_t i = 0; i < kCommandCount; i++)
    {
        const CommandInfo& command = kCommands[i];
        std::string name = command.name;
        all += name + std::string(name.size() < 24 ? 24 - name.size() : 0, ' ') + " " +
               libraryNames(command.libraries) + "\n";
        brindle += command.libraries & LibBrindle ? name + "\n" : "";
        launcher += command.libraries & LibLauncher ? name + "\n" : "";
    }
    EXPECT_EQ(runHost({"--commands"}).out, all);
    EXPECT_EQ(runHost({"--commands", BRINDLE_LIBRARY}).out, brindle);
    EXPECT_EQ(runHost({"--commands", LAUNCHER_LIBRARY}).out, launcher);
}
