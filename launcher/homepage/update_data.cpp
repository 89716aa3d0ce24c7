// What the lines of served update data say: the tags of one line, and which
// lines each variant of the check evaluates.
#include "common/command.h"
#include "homepage.h"
#include "update_lines.h"

// The text between open (found at start) and close; to the end of the line
// when close is missing or stands before the value. A carriage return that
// ends the line is not part of the value.
static std::string_view tagValue(std::string_view line, size_t start, std::string_view open, std::string_view close)
{
    size_t from = start + open.size();
    size_t to = line.find(close);
    if (to == std::string_view::npos || to < from)
    {
        to = line.size();
        if (to > from && line[to - 1] == '\r')
            to--;
    }
    return line.substr(from, to - from);
}

// A width or height is written into the settings only when it could be one:
// an "=" or a control character would let the served data write a key of its
// own into the settings (the check mode among them), and a long value a line
// that makes the settings unreadable.
static const size_t kSizeValueLimit = 32;

static bool sizeValue(std::string_view value)
{
    if (value.size() > kSizeValueLimit)
        return false;
    for (char c : value)
        if (c == '=' || (unsigned char)c < 0x20 || c == 0x7f)
            return false;
    return true;
}

static void addSetting(std::string& settings, std::string_view key, std::string_view value)
{
    // Settings past the file limit are refused whole: they need not grow
    // any further.
    if (!sizeValue(value) || settings.size() > kUpdateFileLimit)
        return;
    settings.append(key).append(value).push_back('\n');
}

void FindString(std::string_view line, UpdateFindings& findings, bool findUrl, char* urlOut, int32_t urlOutSize)
{
    size_t at = line.find("<width>");
    if (at != std::string_view::npos)
        addSetting(findings.settings, "s_width=", tagValue(line, at, "<width>", "</width>"));
    at = line.find("<height>");
    if (at != std::string_view::npos)
        addSetting(findings.settings, "s_height=", tagValue(line, at, "<height>", "</height>"));
    at = line.find("<timestamp>");
    if (at != std::string_view::npos)
        findings.timestamp = line.substr(at + 11, 19);
    if (!findUrl)
        return;
    at = line.find("<url>");
    if (at != std::string_view::npos)
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

    void update(std::string_view line, const BlockTags& tags)
    {
        if (line.find(tags.open) != std::string_view::npos)
            inside = true;
        if (line.find(tags.close) != std::string_view::npos)
        {
            closed = true;
            inside = false;
        }
    }
};

struct Evaluation
{
    std::string_view data;
    UpdateFindings& findings;
    bool findUrl;
    char* buffer1;
    int32_t buffer1Size;

    void evaluate(std::string_view line) { FindString(line, findings, findUrl, buffer1, buffer1Size); }

    void everyLine()
    {
        forEachLine(data, [&](std::string_view line) { evaluate(line); });
    }

    // Evaluates the lines of one kind of block; answers whether it closed.
    bool block(const BlockTags& tags)
    {
        Block block;
        forEachLine(data, [&](std::string_view line) {
            block.update(line, tags);
            if (block.inside)
                evaluate(line);
        });
        return block.closed;
    }

    // The language block inside the year block.
    void languageInYear(const BlockTags& language)
    {
        Block year, inYear;
        forEachLine(data, [&](std::string_view line) {
            year.update(line, kYear);
            if (!year.inside)
                return;
            inYear.update(line, language);
            if (inYear.inside)
                evaluate(line);
        });
        if (year.closed && !inYear.closed)
            block(kYear);
        else if (!year.closed && !block(language))
            everyLine();
    }
};
}

void evaluateUpdate(UpdateVariant variant, int32_t language, std::string_view data, UpdateFindings& findings,
                    char* buffer1, int32_t buffer1Size)
{
    Evaluation evaluation{data, findings, variant != UpdateVariant::EveryLine, buffer1, buffer1Size};
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
