#include "input.h"
#include "common/utf8.h"

#include <cstring>
#include <optional>
#include <string_view>

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
    {
        if (!key.text.empty())
            map.codes[key.text] = key.code;
        if (!key.shifted.empty())
            map.shiftedCodes[key.shifted] = key.code;
    }
    map.shift = keyboard.shift;
    map.enter = keyboard.enter;
    map.space = keyboard.space;
    return map;
}

// The key that types text in one of the maps, if any.
static std::optional<uint16_t> lookUp(const std::map<std::string, uint16_t>& codes, const std::string& text)
{
    auto found = codes.find(text);
    return found != codes.end() ? std::optional<uint16_t>(found->second) : std::nullopt;
}

std::vector<KeyEvent> keyEvents(const KeyMap& map, const char* text)
{
    std::vector<KeyEvent> events;
    auto press = [&](uint16_t code, bool shift) {
        if (shift)
            events.push_back({map.shift, true});
        events.push_back({code, true});
        events.push_back({code, false});
        if (shift)
            events.push_back({map.shift, false});
    };
    for (std::string_view rest(text); !rest.empty();)
    {
        char c = rest[0];
        if (static_cast<unsigned char>(c) < 0x80)
        {
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
            press(lookUp(map.codes, std::string(1, c)).value_or(map.space), shift);
            rest.remove_prefix(1);
            continue;
        }
        Utf8Character character = utf8Character(rest);
        if (!character.valid)
        {
            press(map.space, false);
            rest.remove_prefix(1);
            continue;
        }
        std::string typed(rest.substr(0, character.length));
        rest.remove_prefix(character.length);
        if (std::optional<uint16_t> code = lookUp(map.codes, typed))
            press(*code, false);
        else if (std::optional<uint16_t> shifted = lookUp(map.shiftedCodes, typed))
            press(*shifted, true);
        else
            press(map.space, false);
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
        if (!desktopServices().keyboardMap(keyboard))
            return;
        g_keyMap = buildKeyMap(keyboard);
    }
    desktopServices().postKeys(keyEvents(*g_keyMap, text));
}
