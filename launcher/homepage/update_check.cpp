// The home page's update check: the settings file, a fresh update.dat from
// the script's address, and what its tags say.
#include "collada.h"
#include "command.h"
#include "homepage.h"
#include "platform.h"

#include <algorithm>
#include <fstream>
#include <sstream>

float downloadFile(const char* url, const char* path)
{
    if (!url || !path || path[0] != '/')
        return -1;
    return platform().download(url, path) ? 0 : -1;
}

// The text between open (found at start) and close; to the end of the line
// when close is missing or stands before the value. A carriage return that
// ends the line is not part of the value.
static std::string tagValue(const std::string& line, size_t start, const std::string& open, const std::string& close)
{
    size_t from = start + open.size();
    size_t to = line.find(close);
    if (to == std::string::npos || to < from)
    {
        to = line.size();
        if (to > from && line[to - 1] == '\r')
            to--;
    }
    return line.substr(from, to - from);
}

void FindString(const std::string& line, UpdateFindings& findings, bool findUrl, char* urlOut, int32_t urlOutSize)
{
    size_t at = line.find("<width>");
    if (at != std::string::npos)
        findings.settingsLines.push_back("s_width=" + tagValue(line, at, "<width>", "</width>"));
    at = line.find("<height>");
    if (at != std::string::npos)
        findings.settingsLines.push_back("s_height=" + tagValue(line, at, "<height>", "</height>"));
    at = line.find("<timestamp>");
    if (at != std::string::npos)
        findings.timestamp = line.substr(at + 11, 19);
    if (!findUrl)
        return;
    at = line.find("<url>");
    if (at != std::string::npos)
    {
        findings.url = tagValue(line, at, "<url>", "</url>");
        writeTextResult(findings.url.c_str(), urlOut, urlOutSize);
    }
}

namespace
{
struct BlockTags
{
    const char* open;
    const char* close;
};

const BlockTags kYear = {"<2021>", "</2021>"};

BlockTags languageTags(int32_t language)
{
    static const BlockTags tags[] = {{"<EN>", "</EN>"}, {"<FR>", "</FR>"}, {"<JA>", "</JA>"}, {"<ES>", "</ES>"},
                                     {"<DE>", "</DE>"}, {"<ZH>", "</ZH>"}, {"<KO>", "</KO>"}};
    return language >= 0 && language <= 6 ? tags[language] : tags[0];
}

// A block's state over one pass: the line with the opening tag is inside the
// block, the line with the closing tag is not.
struct Block
{
    bool inside = false;
    bool closed = false;

    void update(const std::string& line, const BlockTags& tags)
    {
        if (line.find(tags.open) != std::string::npos)
            inside = true;
        if (line.find(tags.close) != std::string::npos)
        {
            closed = true;
            inside = false;
        }
    }
};

struct Evaluation
{
    const std::vector<std::string>& lines;
    UpdateFindings& findings;
    bool findUrl;
    char* buffer1;
    int32_t buffer1Size;

    void evaluate(const std::string& line) { FindString(line, findings, findUrl, buffer1, buffer1Size); }

    void everyLine()
    {
        for (const std::string& line : lines)
            evaluate(line);
    }

    // Evaluates the lines of one kind of block; answers whether it closed.
    bool block(const BlockTags& tags)
    {
        Block block;
        for (const std::string& line : lines)
        {
            block.update(line, tags);
            if (block.inside)
                evaluate(line);
        }
        return block.closed;
    }

    // The language block inside the year block.
    void languageInYear(const BlockTags& language)
    {
        Block year, inYear;
        for (const std::string& line : lines)
        {
            year.update(line, kYear);
            if (!year.inside)
                continue;
            inYear.update(line, language);
            if (inYear.inside)
                evaluate(line);
        }
        if (year.closed && !inYear.closed)
            block(kYear);
        else if (!year.closed && !block(language))
            everyLine();
    }
};

std::vector<std::string> readLines(std::istream& in)
{
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

// Reads a whole number as a stream would: blanks, a sign, digits, with the
// value saturated; false when no digit follows.
bool readNumber(const char*& at, int32_t& value)
{
    while (*at == ' ' || (*at >= '\t' && *at <= '\r'))
        at++;
    bool negative = *at == '-';
    if (*at == '-' || *at == '+')
        at++;
    if (*at < '0' || *at > '9')
        return false;
    int64_t number = 0;
    for (; *at >= '0' && *at <= '9'; at++)
        number = std::min<int64_t>(number * 10 + (*at - '0'), int64_t(INT32_MAX) + 1);
    number = negative ? -number : number;
    value = int32_t(std::clamp<int64_t>(number, INT32_MIN, INT32_MAX));
    return true;
}
}

void evaluateUpdate(UpdateVariant variant, int32_t language, const std::vector<std::string>& lines,
                    UpdateFindings& findings, char* buffer1, int32_t buffer1Size)
{
    Evaluation evaluation{lines, findings, variant != UpdateVariant::EveryLine, buffer1, buffer1Size};
    switch (variant)
    {
    case UpdateVariant::YearBlock:
        if (!evaluation.block(kYear))
            evaluation.everyLine();
        break;
    case UpdateVariant::LanguageBlock:
        evaluation.languageInYear(languageTags(language));
        break;
    case UpdateVariant::EveryLine:
        evaluation.everyLine();
        break;
    }
}

bool readTimestamp(const std::string& text, int32_t fields[6])
{
    static const char separators[] = "-- ::";
    const char* at = text.c_str();
    for (int i = 0; i < 6; i++)
    {
        if (i > 0 && separators[i - 1] != ' ')
        {
            if (*at != separators[i - 1])
                return false;
            at++;
        }
        if (!readNumber(at, fields[i]))
            return false;
    }
    return true;
}

float compareTimestamps(const std::string& fresh, const std::string& stored)
{
    int32_t now[6], before[6] = {0, 0, 0, 0, 0, 0};
    if (!readTimestamp(fresh, now))
        return 6;
    // A stored time that does not read is older than any that does.
    if (!readTimestamp(stored, before))
        std::fill(before, before + 6, 0);
    for (int i = 0; i < 5; i++)
        if (now[i] > before[i])
            return float(-6 - i);
    return 3;
}

float checkUpdate(UpdateVariant variant, const char* settingsPath, int32_t language, char* buffer1,
                  int32_t buffer1Size)
{
    if (!settingsPath)
        return 5;
    std::string updatePath = FileNameExtract(settingsPath, 1) + "update.dat";
    UpdateFindings findings;
    findings.settingsLines = {"[General]", "m_hello=1"};

    std::string modeText;
    if (std::ifstream settings{settingsPath, std::ios::binary})
        for (const std::string& line : readLines(settings))
        {
            size_t at = line.find("s_option=");
            if (at == std::string::npos)
                continue;
            findings.settingsLines.push_back(line);
            modeText = line.substr(at + 9, 256);
        }
    int32_t mode = 0;
    const char* modeAt = modeText.c_str();
    if (!readNumber(modeAt, mode) || mode < 0 || mode > 2)
        mode = 0;
    if (mode == 2)
        return 2;

    std::string stored = "2016-07-00 00:00:00";
    if (std::ifstream previous{updatePath, std::ios::binary})
    {
        stored.clear();
        for (const std::string& line : readLines(previous))
        {
            size_t at = line.find("<timestamp>");
            if (at != std::string::npos)
                stored = line.substr(at + 11, 19);
        }
    }

    size_t shared = updatePath.find("/Shared");
    std::string target = shared == std::string::npos ? updatePath : updatePath.substr(shared, 256);
    if (!buffer1 || downloadFile(buffer1, target.c_str()) != 0)
        return 5;

    std::ifstream fresh{updatePath, std::ios::binary};
    if (!fresh)
        return 4;
    evaluateUpdate(variant, language, readLines(fresh), findings, buffer1, buffer1Size);

    std::ofstream settings{settingsPath, std::ios::binary | std::ios::trunc};
    if (!settings)
        return -77;
    for (const std::string& line : findings.settingsLines)
        settings << line << '\n';
    settings.close();
    if (mode == 0)
        return 0;
    if (findings.timestamp.empty())
        return 6;
    return compareTimestamps(findings.timestamp, stored);
}
