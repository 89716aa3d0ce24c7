// The desktop group: screens, windows, keyboard and mouse input, and the
// modal dialogs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One monitor in root-window pixels: origin at the upper left, y down.
struct MonitorRect
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool primary = false;
};

// The monitors in the window system's order and where the window holding
// the keyboard focus lies; no monitors without a display.
struct ScreenLayout
{
    std::vector<MonitorRect> monitors;
    bool focused = false; // an application window has the focus
    int32_t focusCentreX = 0; // its centre, root-window pixels
    int32_t focusCentreY = 0;
};

// A key of the current keyboard mapping, the text it types without
// modifiers and the text it types with Shift (a dead key's
// accent only without modifiers); either may be empty.
struct KeyText
{
    uint16_t code = 0;
    std::string text;
    std::string shifted;
};

// The keys that type a text, in ascending code order, and the keys the
// typing command presses around them.
struct KeyboardMap
{
    std::vector<KeyText> keys;
    uint16_t shift = 0;
    uint16_t enter = 0;
    uint16_t space = 0;
};

struct KeyEvent
{
    uint16_t code = 0;
    bool down = false;
};

// A colour on the 8-bit scale of each channel.
struct RgbColor
{
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

// What the colour panel answered: whether the user accepted, and the colour
// when the answer read as one.
struct ColorAnswer
{
    bool accepted = false;
    bool chosen = false;
    RgbColor color;
};

struct DesktopServices
{
    // Screens, windows and input.
    // The monitors and the focused window's centre, read in one go.
    ScreenLayout (*screenLayout)();
    // Whether this process's first window shows full screen; false with no window.
    bool (*firstWindowFullScreen)();
    // Asks the window manager to switch the first window's full-screen mode;
    // nothing when the process has no window.
    void (*toggleFirstWindowFullScreen)();
    // The current keyboard mapping; false without a display.
    bool (*keyboardMap)(KeyboardMap& map);
    // Posts key presses and releases in order to whatever has the focus.
    void (*postKeys)(const std::vector<KeyEvent>& events);
    // Clicks the left button at a root-window point (origin upper left, y down).
    void (*postClick)(int32_t x, int32_t y);

    // Dialogs, modal: each returns once the user has answered. Without a
    // display a panel counts as cancelled.
    // The open-files panel: several files of the given extensions, every
    // type when there are none; title may be null. True with the chosen
    // paths when the user accepted; false, paths untouched, otherwise.
    bool (*openFilesPanel)(const char* title, const std::vector<std::string>& extensions,
                           std::vector<std::string>& paths);
    // The choose-folder panel: true with the chosen folder when accepted.
    bool (*chooseFolderPanel)(const char* title, std::string& folder);
    // The colour panel, preset to initial.
    ColorAnswer (*colorPanel)(const RgbColor& initial);
};
