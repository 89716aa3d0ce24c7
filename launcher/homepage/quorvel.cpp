#include "homepage.h"
#include "common/command.h"
#include "common/host_path.h"
#include "launch/launch.h"
#include "platform/platform.h"

#include <sstream>

const char* languageCode(int32_t language)
{
    static const char* const codes[] = {"EN", "FR", "JA", "ES", "DE", "ZH", "KO"};
    static const char* const testCodes[] = {"TEN", "TFR", "TJA", "TES", "TDE", "TZH", "TKO"};
    if (language >= 1 && language <= 6)
        return codes[language];
    if (language >= 30 && language <= 36)
        return testCodes[language - 30];
    return "EN";
}

bool isQuorvelRunning()
{
    return isAppRunning("Quorvel");
}

bool openApp(const std::string& appPath, int32_t language, const std::string& argument1,
             const std::string& argument2)
{
    return processServices().launchApplication(appPath.c_str(), {languageCode(language), argument1, argument2});
}

float startProcess(const char* text, double value, char* buffer1, int32_t buffer1Size)
{
    if (isQuorvelRunning())
        return -2;
    if (!text || !buffer1)
        return -1;
    std::string application = hostPathToNative(text);
    std::istringstream words{textWithin(buffer1, buffer1Size)};
    std::string first, second;
    words >> first >> second;
    first = hostPathToNative(first);
    writeTextResult(first.c_str(), buffer1, buffer1Size);
    int32_t language = value > 0 && value < 38 ? truncToInt(value) : 0;
    return openApp(application, language, first, second) ? 0 : -1;
}
