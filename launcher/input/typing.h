// Simulated typing through the key map of the keyboard layout.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

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
