// Deleting, renaming and copying files.
#pragma once

#include <cstdint>

float fileDelete(const char* text);
float fileRename(const char* text, const char* buffer1);
float fileCopyTo(const char* text, const char* buffer1);
