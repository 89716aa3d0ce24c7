// Small queries: the current time.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// Local time as month-day-year,hour:minute:second on the 12-hour clock.
std::string currentTimeText(time_t now);
float grabCurrentTime(char* buffer1, int32_t buffer1Size);
