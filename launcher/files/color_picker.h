// The colour picker.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <string>

// A default colour text is three components from 0 to
// 65535 separated by commas; false when the text does not read so.
bool readDefaultColor(const std::string& text, RgbColor& color);
float getColorPicker(char* buffer1, int32_t buffer1Size);
