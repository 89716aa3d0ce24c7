// The home-page application: starting Quorvel in the host's language.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The launch code of a language number: 1 to 6 and 30 to 36 have their own,
// every other number is English.
const char* languageCode(int32_t language);
// Whether a running application's name contains "Quorvel".
bool isQuorvelRunning();
// Launches appPath with the language code and the two arguments.
bool openApp(const std::string& appPath, int32_t language, const std::string& argument1,
             const std::string& argument2);
float startProcess(const char* text, double value, char* buffer1, int32_t buffer1Size);

// The update check.

// Fetches url into the file at the absolute path; 0, or -1 on any failure
// (a relative path is refused before anything is fetched or written).
float downloadFile(const char* url, const char* path);

// What the evaluated lines of the update data carry: the page address and
// the timestamp (the last line that carries one wins), and a settings line
// for every width and height, in the order found, each ending in "\n" (a
// value holding "=" or a control character, or longer than 32 bytes, is
// left out).
struct UpdateFindings
{
    std::string url;
    std::string timestamp;
    std::string settings;
};

// Looks for the width, height, timestamp and (when findUrl) page address
// tags of one line; a found address is also copied into urlOut, cut to
// urlOutSize with a NUL in its last byte.
void FindString(std::string_view line, UpdateFindings& findings, bool findUrl, char* urlOut, int32_t urlOutSize);

// Which lines of the update data are evaluated.
enum class UpdateVariant
{
    YearBlock,     // CheckUpdateJA
    LanguageBlock, // CheckUpdateALL
    EveryLine,     // CheckUpdateHP
};

// Evaluates the lines of downloaded update data (split at "\n" only) as the
// variant reads them: the year block (every line when it never closes), the
// selected language's block within it (with its fallbacks), or every line.
void evaluateUpdate(UpdateVariant variant, int32_t language, std::string_view data, UpdateFindings& findings,
                    char* buffer1, int32_t buffer1Size);

// What a check found, each mapped to its number for the script by
// updateResultCode.
enum class UpdateOutcome
{
    Checked,     // mode 0: the settings rewritten, nothing compared
    Disabled,    // mode 2: nothing fetched, nothing written
    NotNewer,    // mode 1: no field of the new timestamp is greater
    NewerYear,   // mode 1: the first greater field of the new timestamp
    NewerMonth,
    NewerDay,
    NewerHour,
    NewerMinute,
    NoTimestamp, // mode 1: the new data carried none, or none that reads
    Unreadable,  // the fetched data, or the settings it would make, do not read back
    NotFetched,  // no settings path, a refused target, or the download failed
    NotWritten,  // settings beyond the bounds, or not replaced
};
float updateResultCode(UpdateOutcome outcome);

// Reads a timestamp as year-month-day hour:minute:second; false unless all
// six numbers read.
bool readTimestamp(const std::string& text, int32_t fields[6]);
// A new timestamp against the stored one: the first of year, month, day,
// hour and minute that is greater, else NotNewer.
UpdateOutcome compareTimestamps(const std::string& fresh, const std::string& stored);

// The check procedure: downloads url (null counts as no address) and
// writes a page address found into buffer 1, cut to its size.
float checkUpdate(UpdateVariant variant, const char* settingsPath, int32_t language, const char* url, char* buffer1,
                  int32_t buffer1Size);
