// The home page's update check: the settings file and the stored update.dat
// read, a fresh update.dat fetched from the script's address, what its tags
// say decided against them, and the settings replaced.
#include "common/host_path.h"
#include "download/download.h"
#include "exportparts/file_names.h"
#include "homepage.h"
#include "platform/platform.h"
#include "update_lines.h"

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

// Reads a whole number as a stream would: blanks, a sign, digits, with the
// value saturated; false when no digit follows.
static bool readNumber(const char*& at, int32_t& value)
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

UpdateOutcome compareTimestamps(const std::string& fresh, const std::string& stored)
{
    static const UpdateOutcome newer[5] = {UpdateOutcome::NewerYear, UpdateOutcome::NewerMonth,
                                           UpdateOutcome::NewerDay, UpdateOutcome::NewerHour,
                                           UpdateOutcome::NewerMinute};
    int32_t now[6], before[6] = {0, 0, 0, 0, 0, 0};
    if (!readTimestamp(fresh, now))
        return UpdateOutcome::NoTimestamp;
    // A stored time that does not read is older than any that does.
    if (!readTimestamp(stored, before))
        std::fill(before, before + 6, 0);
    for (int i = 0; i < 5; i++)
        if (now[i] > before[i])
            return newer[i];
    return UpdateOutcome::NotNewer;
}

float updateResultCode(UpdateOutcome outcome)
{
    switch (outcome)
    {
    case UpdateOutcome::Checked: return 0;
    case UpdateOutcome::Disabled: return 2;
    case UpdateOutcome::NotNewer: return 3;
    case UpdateOutcome::NewerYear: return -6;
    case UpdateOutcome::NewerMonth: return -7;
    case UpdateOutcome::NewerDay: return -8;
    case UpdateOutcome::NewerHour: return -9;
    case UpdateOutcome::NewerMinute: return -10;
    case UpdateOutcome::NoTimestamp: return 6;
    case UpdateOutcome::Unreadable: return 4;
    case UpdateOutcome::NotFetched: return 5;
    case UpdateOutcome::NotWritten: return -77;
    }
    return 5;
}

// What the settings file gives a check: its "s_option=" lines, which the
// rewrite keeps, and the mode the last of them selects (0 unless it reads
// as 0 to 2).
struct StoredSettings
{
    std::string lines = "[General]\nm_hello=1\n";
    int32_t mode = 0;
};

// False for settings that are there but beyond the bounds: rewritten, they
// would lose the user's check mode. Settings that cannot be read give mode 0.
static bool readSettings(const char* path, StoredSettings& stored)
{
    std::string text;
    Reading reading = readUpdateFile(path, text);
    if (reading == Reading::OutOfBounds)
        return false;
    std::string_view modeText;
    if (reading == Reading::Read)
        forEachLine(text, [&](std::string_view line) {
            size_t at = line.find("s_option=");
            if (at == std::string_view::npos)
                return;
            stored.lines.append(line).push_back('\n');
            modeText = line.substr(at + 9, 256);
        });
    std::string modeCopy(modeText);
    const char* modeAt = modeCopy.c_str();
    if (!readNumber(modeAt, stored.mode) || stored.mode < 0 || stored.mode > 2)
        stored.mode = 0;
    return true;
}

// The timestamp of the update.dat there before the download: the last one
// its lines carry, empty when none does, the default one when it cannot be
// read.
static std::string storedTimestamp(const std::string& updatePath)
{
    std::string text;
    if (readUpdateFile(updatePath, text) != Reading::Read)
        return "2016-07-00 00:00:00";
    std::string stored;
    forEachLine(text, [&](std::string_view line) {
        size_t at = line.find("<timestamp>");
        if (at != std::string_view::npos)
            stored = line.substr(at + 11, 19);
    });
    return stored;
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

// The fresh update.dat fetched over the old one and read back whole.
static UpdateOutcome fetchUpdate(const char* url, const std::string& updatePath, std::string& fresh)
{
    size_t shared = updatePath.find("/Shared");
    std::string target =
        shared == std::string::npos ? updatePath : sharedTarget(std::string_view(updatePath).substr(shared));
    if (target.empty() || downloadFile(url, target.c_str()) != 0)
        return UpdateOutcome::NotFetched;
    return readUpdateFile(updatePath, fresh) == Reading::Read ? UpdateOutcome::Checked : UpdateOutcome::Unreadable;
}

// Settings that would not read back would end every later check: data whose
// sizes take them past the bounds is refused, the settings kept.
static UpdateOutcome replaceSettings(const char* path, const std::string& settings)
{
    if (!withinBounds(settings))
        return UpdateOutcome::Unreadable;
    return fileServices().replaceFile(path, settings) ? UpdateOutcome::Checked : UpdateOutcome::NotWritten;
}

static UpdateOutcome runUpdateCheck(UpdateVariant variant, const char* settingsPath, int32_t language,
                                    const char* url, char* buffer1, int32_t buffer1Size)
{
    if (!settingsPath)
        return UpdateOutcome::NotFetched;
    StoredSettings settings;
    if (!readSettings(settingsPath, settings))
        return UpdateOutcome::NotWritten;
    if (settings.mode == 2)
        return UpdateOutcome::Disabled;
    std::string updatePath = FileNameExtract(settingsPath, PathPart::Folder) + "update.dat";
    std::string stored = storedTimestamp(updatePath);
    std::string fresh;
    UpdateOutcome outcome = fetchUpdate(url, updatePath, fresh);
    if (outcome != UpdateOutcome::Checked)
        return outcome;
    UpdateFindings findings;
    evaluateUpdate(variant, language, fresh, findings, buffer1, buffer1Size);
    outcome = replaceSettings(settingsPath, settings.lines + findings.settings);
    if (outcome != UpdateOutcome::Checked || settings.mode == 0)
        return outcome;
    if (findings.timestamp.empty())
        return UpdateOutcome::NoTimestamp;
    return compareTimestamps(findings.timestamp, stored);
}

float checkUpdate(UpdateVariant variant, const char* settingsPath, int32_t language, const char* url, char* buffer1,
                  int32_t buffer1Size)
{
    return updateResultCode(runUpdateCheck(variant, settingsPath, language, url, buffer1, buffer1Size));
}
