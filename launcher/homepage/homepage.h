// The home-page application: starting Quorvel in the host's language.
#pragma once

#include <cstdint>
#include <string>

// The launch code of a language number: 1 to 6 and 30 to 36 have their own,
// every other number is English.
const char* languageCode(int32_t language);
// Whether a running application's name contains "Quorvel".
bool isQuorvelRunning();
// Launches appPath with the language code and the two arguments.
bool openApp(const std::string& appPath, int32_t language, const std::string& argument1,
             const std::string& argument2);
float startProcess(const char* text, double value, char* buffer1, int32_t buffer1Size);
