// Screen and input: the main screen's frame and index, the first window's
// full-screen mode, simulated typing and clicking, and the message to the
// local companion program.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A screen frame: origin at the lower left of the primary screen, y up.
struct ScreenFrame
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// The main monitor's position in the list: the monitor holding the focused
// window's centre, else the primary one (marked so, else the first); -1
// when there are no monitors.
int32_t mainMonitorIndex(const ScreenLayout& layout);
// A monitor's frame, measured from the primary monitor's lower left corner.
ScreenFrame screenFrame(const MonitorRect& monitor, const MonitorRect& primary);
// The main screen's frame; all zeros when there is no main screen.
ScreenFrame mainScreenFrame();

float getMainScreenX();
float getMainScreenY();
float getMainScreenW();
float getMainScreenH();
// The main screen's index, -1 when there is none.
float getMainScreen();
// The main screen's centre, computed in single precision.
float mainScreenCentreX();
float mainScreenCentreY();

bool isFullScreen();
// Switches the first window's full-screen mode.
void toggleFullScreen();

// The typing command's key map: the key that types each text, the key that
// types it with Shift, and the keys pressed around them.
struct KeyMap
{
    std::map<std::string, uint16_t> codes;
    std::map<std::string, uint16_t> shiftedCodes;
    uint16_t shift = 0;
    uint16_t enter = 0;
    uint16_t space = 0;
};

// Keys in ascending order; a later key typing the same text as an earlier
// one replaces it.
KeyMap buildKeyMap(const KeyboardMap& keyboard);
// The events that type text and then Return. ASCII: upper-case letters and
// the shifted digit-row symbols with Shift held, a byte that no key types as
// Space. Beyond ASCII each UTF-8 character is looked up whole: the key that
// types it, else the key that types it with Shift (so an upper-case letter
// goes to its letter's key only where Shift there gives that letter), else
// Space; a byte of no well-formed character is one Space.
std::vector<KeyEvent> keyEvents(const KeyMap& map, const char* text);
// Types text and Return into whatever has the focus. The key map is read
// from the platform on first use and kept until the library is unloaded.
void DoKeyPress(const char* text);

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

// The companion program listens on this port of the loopback address.
constexpr uint16_t kCompanionPort = 5555;
// The largest message sent; a longer one is refused whole.
constexpr size_t kMaxMessage = 4095;
// How long the companion may take to accept, to take the message and to
// answer: one that never does must not hold the host's thread for ever.
constexpr int kCompanionWaitMilliseconds = 5000;
// Sends the NUL-terminated message to port on the loopback address and
// waits for one reply (not used): 0 sent and answered, the end of the
// connection counting as an answer; -1 for a null or too long message, no
// socket, or neither in time; -2 when the address cannot be had; -3 when
// nothing listens or the message cannot be written.
float sendToCompanion(const char* message, uint16_t port, int waitMilliseconds = kCompanionWaitMilliseconds);
