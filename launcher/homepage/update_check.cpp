// The home page's update check: the settings file, a fresh update.dat from
// the script's address, and what its tags say.
#include "common/command.h"
#include "download/download.h"
#include "exportparts/exportparts.h"
#include "homepage.h"
#include "common/host_path.h"
#include "platform/platform.h"

#include <algorithm>
#include <string_view>

float downloadFile(const char* url, const char* path)
{
    if (!url || !path || !isNativeAbsolutePath(path, kSystemPathStyle))
        return -1;
    // What a download killed midway left beside the target goes first.
    fileServices().removeLeftoverDownloads(path);
    return download(url, path) ? 0 : -1;
}

// The update files (settings and update.dat) are a few lines; larger ones,
// or lines longer than a line can sensibly be, count as unreadable.
static const size_t kUpdateFileLimit = size_t(16) << 20;
static const size_t kUpdateLineLimit = size_t(64) << 10;

// Calls visit with each line of text, split at "\n" only, as a stream's
// getline splits it: a last line without its "\n" counts, an empty text has
// no line.
template <typename Visit>
static void forEachLine(std::string_view text, Visit visit)
{
    while (!text.empty())
    {
        size_t end = text.find('\n');
        visit(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
}

// Whether a text reads back as an update file.
static bool withinBounds(std::string_view text)
{
    bool within = text.size() <= kUpdateFileLimit;
    forEachLine(text, [&](std::string_view line) { within = within && line.size() <= kUpdateLineLimit; });
    return within;
}

enum class Reading
{
    Read,
    Unreadable,  // missing, not a regular file, or not open to the user
    OutOfBounds, // a regular file the user may read, larger than the limit or with a longer line
};

// Reads one of the update files whole.
static Reading readUpdateFile(const std::string& path, std::string& text)
{
    if (!fileServices().readFile(path.c_str(), kUpdateFileLimit, text))
    {
        FILE* file = fileServices().openFile(path.c_str());
        if (!file)
            return Reading::Unreadable;
        fclose(file);
        return Reading::OutOfBounds;
    }
    return withinBounds(text) ? Reading::Read : Reading::OutOfBounds;
}

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

// The download target of an update path that holds "/Shared": the path from
// its first "/Shared" on, whole (a cut one names another file) and without
// a ".." step, which could lead out of the folder (after a link, wherever
// the link leads). Empty when refused. Steps end at "/" or "\" on every
// system, as on Windows.
static const size_t kSharedTargetLimit = 256;

static std::string sharedTarget(std::string_view path)
{
    if (path.size() > kSharedTargetLimit)
        return std::string();
    for (size_t start = 0; start <= path.size();)
    {
        size_t end = std::min(path.find_first_of("/\\", start), path.size());
        if (path.substr(start, end - start) == "..")
            return std::string();
        start = end + 1;
    }
    return std::string(path);
}

float checkUpdate(UpdateVariant variant, const char* settingsPath, int32_t language, const char* url, char* buffer1,
                  int32_t buffer1Size)
{
    if (!settingsPath)
        return 5;
    std::string updatePath = FileNameExtract(settingsPath, 1) + "update.dat";
    UpdateFindings findings;

    // The settings keep their "s_option=" lines; the last gives the mode.
    // Settings that are there but beyond the bounds are left as they are:
    // rewritten, they would lose the user's check mode.
    std::string settings = "[General]\nm_hello=1\n";
    std::string_view modeText;
    std::string old;
    Reading reading = readUpdateFile(settingsPath, old);
    if (reading == Reading::OutOfBounds)
        return -77;
    if (reading == Reading::Read)
        forEachLine(old, [&](std::string_view line) {
            size_t at = line.find("s_option=");
            if (at == std::string_view::npos)
                return;
            settings.append(line).push_back('\n');
            modeText = line.substr(at + 9, 256);
        });
    int32_t mode = 0;
    std::string modeCopy(modeText);
    const char* modeAt = modeCopy.c_str();
    if (!readNumber(modeAt, mode) || mode < 0 || mode > 2)
        mode = 0;
    if (mode == 2)
        return 2;

    std::string stored = "2016-07-00 00:00:00";
    std::string previous;
    if (readUpdateFile(updatePath, previous) == Reading::Read)
    {
        stored.clear();
        forEachLine(previous, [&](std::string_view line) {
            size_t at = line.find("<timestamp>");
            if (at != std::string_view::npos)
                stored = line.substr(at + 11, 19);
        });
    }
    std::string().swap(previous);

    size_t shared = updatePath.find("/Shared");
    std::string target =
        shared == std::string::npos ? updatePath : sharedTarget(std::string_view(updatePath).substr(shared));
    if (target.empty() || downloadFile(url, target.c_str()) != 0)
        return 5;

    std::string fresh;
    if (readUpdateFile(updatePath, fresh) != Reading::Read)
        return 4;
    evaluateUpdate(variant, language, fresh, findings, buffer1, buffer1Size);

    settings += findings.settings;
    // Settings that would not read back would end every later check: data
    // whose sizes take them past the bounds is refused, the settings kept.
    if (!withinBounds(settings))
        return 4;
    if (!fileServices().replaceFile(settingsPath, settings))
        return -77;
    if (mode == 0)
        return 0;
    if (findings.timestamp.empty())
        return 6;
    return compareTimestamps(findings.timestamp, stored);
}
