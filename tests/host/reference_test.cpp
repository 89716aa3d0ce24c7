// The command reference (docs/commands.md) against the code: one synopsis
// for every command of the command table and none for anything else, the
// results page as make-results-page makes it from the synopses, and every
// example of the reference, the scripting guide and the exports page
// printing what it shows.
#include "host/command_names.h"
#include "common/command_table.h"
#include "host/reference.h"
#include "tests/support/text_files.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
std::string readDoc(const std::string& name)
{
    return readFile(TESMAR_SOURCE_DIR "/docs/" + name);
}

std::string readReference()
{
    return readDoc("commands.md");
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
// END line), the output shown after them, and the files of the blocks fenced
// as "LANGUAGE file NAME" before it, which it finds in its folder.
struct Example
{
    size_t line = 0;
    std::vector<std::pair<std::string, std::string>> files;
    std::string commands;
    std::string output;
};

std::vector<Example> readExamples(const std::string& page)
{
    std::vector<Example> examples;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> all = linesOf(page);
    for (size_t i = 0; i < all.size(); i++)
    {
        size_t file = all[i].find(" file ");
        if (all[i].starts_with("```") && file != std::string::npos)
        {
            std::string& content = files.emplace_back(all[i].substr(file + 6), "").second;
            for (i++; i < all.size() && all[i] != "```"; i++)
                content += all[i] + "\n";
            continue;
        }
        if (all[i] != "```sh example")
            continue;
        Example& example = examples.emplace_back();
        example.line = i + 1;
        example.files = std::move(files);
        files.clear();
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
// meshes and the example's files; the output with the messages, and a line
// for a failing status. Python is Debian's; in a sanitized build the
// programs the examples build and load the libraries into are sanitized too.
std::string runExample(const Example& example)
{
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("tesmar-example-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy(TESMAR_SOURCE_DIR "/host/demo/meshes", folder / "meshes");
    for (const auto& [name, content] : example.files)
        std::ofstream(folder / name, std::ios::binary) << content;
    fs::path script = folder.string() + ".sh";
    std::ofstream(script) << "unset DISPLAY\n"
                          << "PATH=" << fs::path(PLUGIN_HOST).parent_path().string() << ":$PATH\n"
                          << "BRINDLE=" << BRINDLE_LIBRARY << "\n"
                          << "LAUNCHER=" << LAUNCHER_LIBRARY << "\n"
#if defined(TESMAR_SANITIZED)
                          << "cc() { command cc -fsanitize=address,undefined \"$@\"; }\n"
                          << "python3() { LD_PRELOAD=$(command cc -print-file-name=libasan.so) "
                             "ASAN_OPTIONS=detect_leaks=0 /usr/bin/python3 \"$@\"; }\n"
#else
                          << "python3() { /usr/bin/python3 \"$@\"; }\n"
#endif
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
        std::vector<std::string> text = linesOf(synopsis.text);
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
            EXPECT_EQ(text[1], "libraries: " + libraryNames(command->libraries)) << name;
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

TEST(CommandReference, ResultsPageIsMadeFromTheSynopses)
{
    const std::string made = TESMAR_BINARY_DIR "/results.md";
    const std::string reference = TESMAR_SOURCE_DIR "/docs/commands.md";
    ASSERT_EQ(std::system(("'" MAKE_RESULTS_PAGE "' '" + reference + "' '" + made + "'").c_str()), 0);
    EXPECT_TRUE(readFile(made) == readDoc("results.md"))
        << "docs/results.md differs from the page the synopses make, " << made
        << "; remake it from the source folder: " MAKE_RESULTS_PAGE " docs/commands.md docs/results.md";
}

TEST(CommandReference, ExamplesPrintWhatTheyShow)
{
    for (const char* page : {"commands.md", "scripting.md", "exports.md"})
    {
        std::vector<Example> examples = readExamples(readDoc(page));
        EXPECT_FALSE(examples.empty()) << page;
        for (const Example& example : examples)
            EXPECT_EQ(runExample(example), example.output) << "the example at " << page << ":" << example.line;
    }
}
