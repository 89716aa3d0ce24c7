// The command reference (docs/commands.md) against the code: one synopsis
// for every command of the command table and none for anything else, and
// every example printing what it shows.
#include "command_table.h"
#include "reference.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
std::string readReference()
{
    std::ifstream file(TESMAR_SOURCE_DIR "/docs/commands.md", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        out.push_back(line);
    return out;
}

std::string libraries(unsigned bits)
{
    std::string out;
    for (auto [bit, name] : {std::pair{LibBrindle, "Brindle (Linux)"}, {LibBrindleWin, "Brindle.dll (Windows)"},
                             {LibLauncher, "TesmarLauncherDLL (Linux)"},
                             {LibLauncherWin, "TesmarLauncherDLL.dll (Windows)"}})
        if (bits & bit)
            out += (out.empty() ? "" : ", ") + std::string(name);
    return "libraries: " + out;
}

std::string reads(unsigned bits)
{
    std::string out;
    for (auto [bit, name] : {std::pair{ArgText, "text"}, {ArgValue, "value"}, {ArgBuffer1, "buffer 1"},
                             {ArgBuffer1Size, "buffer 1 size"}, {ArgBuffer2, "buffer 2"},
                             {ArgBuffer2Size, "buffer 2 size"}, {ArgHost, "host"}})
        if (bits & bit)
            out += (out.empty() ? "" : ", ") + std::string(name);
    return "reads: " + (out.empty() ? "nothing" : out);
}

// An example: shell commands ("$ " lines, a here-document running on to its
// END line) and the output shown after them.
struct Example
{
    size_t line = 0;
    std::string commands;
    std::string output;
};

std::vector<Example> readExamples(const std::string& reference)
{
    std::vector<Example> examples;
    std::vector<std::string> all = lines(reference);
    for (size_t i = 0; i < all.size(); i++)
    {
        if (all[i] != "```sh example")
            continue;
        Example& example = examples.emplace_back();
        example.line = i + 1;
        bool hereDocument = false;
        for (i++; i < all.size() && all[i] != "```"; i++)
        {
            const std::string& line = all[i];
            if (hereDocument || line.rfind("$ ", 0) == 0)
            {
                example.commands += (hereDocument ? line : line.substr(2)) + "\n";
                hereDocument = hereDocument ? line != "END" : line.ends_with("<<'END'");
            }
            else
            {
                example.output += line + "\n";
            }
        }
    }
    return examples;
}

// Runs the commands with sh in a fresh folder holding a copy of the demo
// meshes; the output with the messages, and a line for a failing status.
std::string runExample(const Example& example)
{
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("tesmar-example-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy(TESMAR_SOURCE_DIR "/host/demo/meshes", folder / "meshes");
    fs::path script = folder.string() + ".sh";
    std::ofstream(script) << "unset DISPLAY\n"
                          << "PATH=" << fs::path(PLUGIN_HOST).parent_path().string() << ":$PATH\n"
                          << "BRINDLE=" << BRINDLE_LIBRARY << "\n"
                          << "LAUNCHER=" << LAUNCHER_LIBRARY << "\n"
                          << example.commands;
    std::string output;
    FILE* run = popen(("cd '" + folder.string() + "' && sh '" + script.string() + "' 2>&1").c_str(), "r");
    char block[4096];
    for (size_t got; run && (got = fread(block, 1, sizeof(block), run)) > 0;)
        output.append(block, got);
    int status = run ? pclose(run) : -1;
    fs::remove_all(folder);
    fs::remove(script);
    return status == 0 ? output : output + "(wait status " + std::to_string(status) + ")\n";
}
}

TEST(CommandReference, EveryCommandHasOneSynopsisAgreeingWithTheTable)
{
    std::vector<Synopsis> synopses = readSynopses(readReference());
    for (const Synopsis& synopsis : synopses)
    {
        std::vector<std::string> text = lines(synopsis.text);
        ASSERT_GE(text.size(), 4u) << "synopsis at line " << synopsis.line;
        EXPECT_TRUE(text[3].starts_with("results:")) << "synopsis at line " << synopsis.line;
        for (const std::string& name : synopsis.commands)
        {
            const CommandInfo* command = findCommand(name.c_str());
            if (!command)
            {
                ADD_FAILURE() << "line " << synopsis.line << ": no command '" << name << "'";
                continue;
            }
            EXPECT_EQ(text[1], libraries(command->libraries)) << name;
            EXPECT_EQ(text[2], reads(command->arguments)) << name;
        }
    }
    for (size_t c = 0; c < kCommandCount; c++)
    {
        size_t entries = 0;
        for (const Synopsis& synopsis : synopses)
            entries += std::count(synopsis.commands.begin(), synopsis.commands.end(), kCommands[c].name);
        EXPECT_EQ(entries, 1u) << kCommands[c].name;
    }
}

TEST(CommandReference, ExamplesPrintWhatTheyShow)
{
    std::vector<Example> examples = readExamples(readReference());
    EXPECT_FALSE(examples.empty());
    for (const Example& example : examples)
        EXPECT_EQ(runExample(example), example.output) << "the example at line " << example.line;
}
