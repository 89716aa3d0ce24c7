#include "input.h"

#include <cstring>
#include <optional>

// Built by the first typing and kept as it is: a later change of keyboard
// layout is not seen.
static std::optional<KeyMap> g_keyMap;

// Symbols typed as the digit below them with Shift held, whatever the layout.
static const char kShiftedSymbols[] = "!@#$%^&*()";
static const char kSymbolDigits[] = "1234567890";

KeyMap buildKeyMap(const KeyboardMap& keyboard)
{
    KeyMap map;
    for (const KeyText& key : keyboard.keys)
        map.codes[key.text] = key.code;
    map.shift = keyboard.shift;
    map.enter = keyboard.enter;
    map.space = keyboard.space;
    return map;
}

std::vector<KeyEvent> keyEvents(const KeyMap& map, const char* text)
{
    std::vector<KeyEvent> events;
    for (const char* p = text; *p != '\0'; p++)
    {
        char c = *p;
        bool shift = false;
        if (c >= 'A' && c <= 'Z')
        {
            c = char(c - 'A' + 'a');
            shift = true;
        }
        else if (const char* symbol = strchr(kShiftedSymbols, c))
        {
            c = kSymbolDigits[symbol - kShiftedSymbols];
            shift = true;
        }
        auto found = map.codes.find(std::string(1, c));
        uint16_t code = found != map.codes.end() ? found->second : map.space;
        if (shift)
            events.push_back({map.shift, true});
        events.push_back({code, true});
        events.push_back({code, false});
        if (shift)
            events.push_back({map.shift, false});
    }
    events.push_back({map.enter, true});
    events.push_back({map.enter, false});
    return events;
}

void DoKeyPress(const char* text)
{
    if (!g_keyMap)
    {
        // Without a keyboard (no display) nothing is typed, and the next
        // call asks again.
        KeyboardMap keyboard;
        if (!platform().keyboardMap(keyboard))
            return;
        g_keyMap = buildKeyMap(keyboard);
    }
    platform().postKeys(keyEvents(*g_keyMap, text));
}
