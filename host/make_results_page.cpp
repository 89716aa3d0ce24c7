// make-results-page COMMANDS RESULTS: writes the results page (docs/results.md)
// from the synopses of the command reference (docs/commands.md). The host
// tests run it and compare its page with the one committed.
#include "reference.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        out.push_back(line);
    return out;
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

struct Row
{
    std::string names, anchor, brindle, launcher, results, warning;
};

// The row of a synopsis, from its lines: the names, the libraries, the
// arguments read, "results:" and the results.
Row synopsisRow(const std::vector<std::string>& text, const std::string& anchor)
{
    Row row;
    row.names = text[0];
    row.anchor = anchor;
    row.brindle = platforms(text[1], "Brindle");
    row.launcher = platforms(text[1], "TesmarLauncherDLL");
    for (size_t k = 4; k < text.size(); k++)
    {
        std::string result = text[k].substr(text[k].find_first_not_of(' '));
        if (text[k].starts_with("   "))
        {
            row.results += " " + result;
            continue;
        }
        size_t space = result.find("  "); // the number, such as "-6 to -10", and its meaning
        row.results += (row.results.empty() ? "`" : "<br>`") + result.substr(0, space) + "` " +
                       result.substr(result.find_first_not_of(' ', space));
    }
    return row;
}

// docs/results.md as the reference's synopses make it: one row a synopsis,
// with the warning of its entry (a "> **Warning:**" paragraph).
std::string resultsPage(const std::string& reference)
{
    std::vector<Row> rows;
    std::vector<Synopsis> synopses = readSynopses(reference);
    size_t next = 0;
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
        else if (next < synopses.size() && synopses[next].line == i + 1)
        {
            std::vector<std::string> text = lines(synopses[next++].text);
            i += text.size();
            if (text.size() >= 4)
                rows.push_back(synopsisRow(text, heading));
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

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        fputs("usage: make-results-page COMMANDS.md RESULTS.md\n", stderr);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in)
    {
        fprintf(stderr, "make-results-page: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ostringstream reference;
    reference << in.rdbuf();
    std::ofstream out(argv[2], std::ios::binary);
    out << resultsPage(reference.str());
    out.close();
    if (!out)
    {
        fprintf(stderr, "make-results-page: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
