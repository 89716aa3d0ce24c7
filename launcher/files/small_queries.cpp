#include "common/command.h"
#include "small_queries.h"


std::string currentTimeText(time_t now)
{
    tm local{};
    if (!localtime_r(&now, &local))
        return std::string();
    char text[80];
    size_t length = strftime(text, sizeof(text), "%m-%d-%Y,%I:%M:%S", &local);
    return std::string(text, length);
}

float grabCurrentTime(char* buffer1, int32_t buffer1Size)
{
    return writeWholeText(currentTimeText(time(nullptr)), buffer1, buffer1Size) ? 0 : -1;
}
