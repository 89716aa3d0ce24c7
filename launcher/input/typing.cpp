#include "typing.h"
#include "platform/platform.h"
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
        // ASCII letters are looked up in lower case, their capitals being
        // Shift and the letter; beyond ASCII a key's text is taken as typed.
        if (key.text.size() == 1 && key.text[0] >= 'A' && key.text[0] <= 'Z')
            map.codes[std::string(1, char(key.text[0] - 'A' + 'a'))] = key.code;
        else if (!key.text.empty())
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

namespace
{
struct KeyPress
{
    uint16_t code;
    bool shift;
};
}

// The key, with or without Shift, that types the ASCII character c.
static KeyPress asciiKey(const KeyMap& map, char c)
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
    return {lookUp(map.codes, std::string(1, c)).value_or(map.space), shift};
}

// The key that types the character at the start of rest, which it removes.
static KeyPress nextKey(const KeyMap& map, std::string_view& rest)
{
    if (static_cast<unsigned char>(rest[0]) < 0x80)
    {
        KeyPress key = asciiKey(map, rest[0]);
        rest.remove_prefix(1);
        return key;
    }
    Utf8Character character = utf8Character(rest);
    if (!character.valid)
    {
        rest.remove_prefix(1);
        return {map.space, false};
    }
    std::string typed(rest.substr(0, character.length));
    rest.remove_prefix(character.length);
    if (std::optional<uint16_t> code = lookUp(map.codes, typed))
        return {*code, false};
    if (std::optional<uint16_t> shifted = lookUp(map.shiftedCodes, typed))
        return {*shifted, true};
    return {map.space, false};
}

std::vector<KeyEvent> keyEvents(const KeyMap& map, const char* text)
{
    std::vector<KeyEvent> events;
    for (std::string_view rest(text); !rest.empty();)
    {
        KeyPress key = nextKey(map, rest);
        if (key.shift)
            events.push_back({map.shift, true});
        events.push_back({key.code, true});
        events.push_back({key.code, false});
        if (key.shift)
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
        if (!desktopServices().keyboardMap(keyboard))
            return;
        g_keyMap = buildKeyMap(keyboard);
    }
    desktopServices().postKeys(keyEvents(*g_keyMap, text));
}
