// The command reference (docs/commands.md) against the code: one synopsis
// for every command of the command table and none for anything else, the
// results page made from the synopses, and every example of the reference,
// the scripting guide and the exports page printing what it shows.
#include "host/command_names.h"
#include "common/command_table.h"
#include "host/reference.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
std::string readDoc(const std::string& name)
{
    std::ifstream file(TESMAR_SOURCE_DIR "/docs/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string readReference()
{
    return readDoc("commands.md");
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        out.push_back(line);
    return out;
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
    std::vector<std::string> all = lines(page);
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

// The anchor of a heading as the usual Markdown renderers make it.
std::string anchor(const std::string& heading)
{
    std::string out;
    for (char c : heading)
        if (std::isalnum((unsigned char)c) || c == '-' || c == '_')
            out.push_back(char(std::tolower((unsigned char)c)));
        else if (c == ' ')
            out.push_back('-');
    return out;
}

std::string platforms(const std::string& libraries, const std::string& name)
{
    bool onLinux = libraries.find(name + " (Linux)") != std::string::npos;
    bool onWindows = libraries.find(name + ".dll (Windows)") != std::string::npos;
    return onLinux && onWindows ? "Linux, Windows" : onLinux ? "Linux" : onWindows ? "Windows" : "";
}

std::string cell(std::string text)
{
    for (size_t at = text.find('|'); at != std::string::npos; at = text.find('|', at + 2))
        text.replace(at, 1, "\\|");
    return text;
}

// docs/results.md as the reference's synopses make it: one row a synopsis,
// with the warning of its entry (a "> **Warning:**" paragraph).
std::string resultsPage(const std::string& reference)
{
    struct Row
    {
        std::string names, anchor, brindle, launcher, results, warning;
    };
    std::vector<Row> rows;
    size_t sectionStart = 0;
    std::string heading;
    std::vector<std::string> all = lines(reference);
    for (size_t i = 0; i < all.size(); i++)
    {
        const std::string& line = all[i];
        if (line.starts_with("### "))
        {
            heading = anchor(line.substr(4));
            sectionStart = rows.size();
        }
        else if (line.starts_with("> **Warning:** "))
        {
            std::string warning = line.substr(line.find("** ") + 3);
            for (; i + 1 < all.size() && all[i + 1].starts_with("> "); i++)
                warning += " " + all[i + 1].substr(2);
            for (size_t r = sectionStart; r < rows.size(); r++)
                rows[r].warning = warning;
        }
        else if (line == "```synopsis" && i + 4 < all.size())
        {
            Row& row = rows.emplace_back();
            row.names = all[i + 1];
            row.anchor = heading;
            row.brindle = platforms(all[i + 2], "Brindle");
            row.launcher = platforms(all[i + 2], "TesmarLauncherDLL");
            for (i += 5; i < all.size() && all[i] != "```"; i++)
            {
                std::string text = all[i].substr(all[i].find_first_not_of(' '));
                if (all[i].starts_with("   "))
                {
                    row.results += " " + text;
                    continue;
                }
                size_t space = text.find("  "); // the number, such as "-6 to -10", and its meaning
                row.results += (row.results.empty() ? "`" : "<br>`") + text.substr(0, space) + "` " +
                               text.substr(text.find_first_not_of(' ', space));
            }
        }
    }
    std::string page = "<!-- Made from the synopses of commands.md: the host tests compare the two and, when they\n"
                       "differ, write the page as it should be as results.md in the build folder. -->\n"
                       "# Results at a glance\n\n"
                       "Every command, the libraries that export it and every number it answers, from\n"
                       "the synopses of the [command reference](commands.md), whose entries say more.\n"
                       "⚠ marks what a command removes or replaces that a script author may not expect.\n\n"
                       "| Command | Brindle | TesmarLauncherDLL | Results |\n"
                       "|---|---|---|---|\n";
    for (const Row& row : rows)
        page += "| [" + row.names + "](commands.md#" + row.anchor + ") | " + row.brindle + " | " + row.launcher +
                " | " + cell(row.results) + (row.warning.empty() ? "" : "<br>⚠ " + cell(row.warning)) + " |\n";
    return page;
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
    std::string page = resultsPage(readReference());
    if (page == readDoc("results.md"))
        return;
    std::string made = TESMAR_BINARY_DIR "/results.md";
    std::ofstream(made, std::ios::binary) << page;
    ADD_FAILURE() << "docs/results.md differs from the synopses; the page they make: " << made;
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
