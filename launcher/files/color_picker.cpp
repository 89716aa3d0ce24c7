// The colour picker: buffer 1 holds the default colour on the 16-bit scale
// and receives the chosen one packed as red·65536 + green·256 + blue.
#include "common/command.h"
#include "common/desktop_codes.h"
#include "color_picker.h"
#include "platform/platform.h"

#include <cstring>

static void skipBlanks(const std::string& text, size_t& at)
{
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        at++;
}

// A decimal component from 0 to 65535, scaled to 8 bits with rounding.
static bool readComponent(const std::string& text, size_t& at, uint8_t& channel)
{
    size_t start = at;
    uint32_t value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && value <= 65535)
        value = value * 10 + uint32_t(text[at++] - '0');
    if (at == start || value > 65535)
        return false;
    channel = uint8_t((value + 128) / 257);
    return true;
}

bool readDefaultColor(const std::string& text, RgbColor& color)
{
    RgbColor read;
    uint8_t* channels[3] = {&read.red, &read.green, &read.blue};
    size_t at = 0;
    for (size_t i = 0; i < 3; i++)
    {
        skipBlanks(text, at);
        if (!readComponent(text, at, *channels[i]))
            return false;
        skipBlanks(text, at);
        if (i < 2 && (at >= text.size() || text[at++] != ','))
            return false;
    }
    if (at != text.size())
        return false;
    color = read;
    return true;
}

float getColorPicker(char* buffer1, int32_t buffer1Size)
{
    if (buffer1 == nullptr || buffer1Size <= 0)
        return -1;
    // A default that does not read as a colour starts the panel at black.
    RgbColor initial;
    readDefaultColor(std::string(buffer1, strnlen(buffer1, size_t(buffer1Size))), initial);
    ColorAnswer answer = desktopServices().colorPanel(initial);
    if (!answer.accepted)
        return kUserCancelled;
    if (!answer.chosen)
        return 0;
    uint32_t packed = uint32_t(answer.color.red) * 65536 + uint32_t(answer.color.green) * 256 + answer.color.blue;
    return writeIfRoom(std::to_string(packed), buffer1, buffer1Size) ? 1 : -1;
}
