// Simulated clicking at a point given as text.
#pragma once

#include <cstdint>

struct ClickPoint
{
    int32_t x = 0;
    int32_t y = 0;
};

// Two integers, x then y, as formatted stream input reads them; one that
// cannot be read (nor any after it) counts as 0.
ClickPoint parseClickPoint(const char* text);
// Clicks the left button at a root-window point.
void DoMouseClick(int32_t x, int32_t y);
float sendClick(const char* text);
