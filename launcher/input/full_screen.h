// The first window's full-screen mode.
#pragma once

bool isFullScreen();
// Switches the first window's full-screen mode.
void toggleFullScreen();
