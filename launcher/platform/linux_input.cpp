// The keyboard mapping and synthetic key and mouse events on X11 (XTest),
// through one short connection per call.
#include "common/utf8.h"
#include "linux_platform.h"
#include "linux_x11.h"
#include "platform.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdint>

// The character a keysym types, 0 for none: Latin-1 and Unicode keysyms,
// the keypad's characters, the keys that type a control character, and the
// dead keys of ASCII accents as their own accent (what the key gives when
// followed by Space). A dead key of an accent beyond ASCII has none: typing
// it would only change the character after it.
static uint32_t keysymCharacter(KeySym symbol)
{
    if ((symbol >= 0x20 && symbol <= 0x7e) || (symbol >= 0xa0 && symbol <= 0xff))
        return uint32_t(symbol);
    if (symbol >= 0x01000100 && symbol <= 0x0110ffff)
        return uint32_t(symbol - 0x01000000);
    if (symbol >= XK_KP_0 && symbol <= XK_KP_9)
        return uint32_t('0' + (symbol - XK_KP_0));
    switch (symbol)
    {
    case XK_KP_Space:
        return ' ';
    case XK_KP_Tab:
        return '\t';
    case XK_KP_Enter:
        return '\r';
    case XK_KP_Equal:
        return '=';
    case XK_KP_Multiply:
        return '*';
    case XK_KP_Add:
        return '+';
    case XK_KP_Separator:
        return ',';
    case XK_KP_Subtract:
        return '-';
    case XK_KP_Decimal:
        return '.';
    case XK_KP_Divide:
        return '/';
    case XK_BackSpace:
    case XK_Tab:
    case XK_Return:
    case XK_Escape:
    case XK_Delete:
        return uint32_t(symbol & 0x7f);
    case XK_dead_grave:
        return '`';
    case XK_dead_circumflex:
        return '^';
    case XK_dead_tilde:
        return '~';
    default:
        return 0;
    }
}

static std::string utf8(uint32_t character)
{
    std::string text;
    if (character < 0x110000)
        appendUtf8(text, character);
    return text;
}

// The keysym a key gives in the active keyboard group with the modifiers. A
// key with fewer groups than the active one maps it back by its own rule, as
// the server does when the key is pressed.
static KeySym keySymbol(XkbDescPtr keyboard, KeyCode code, int group, unsigned modifiers)
{
    unsigned consumed = 0;
    KeySym symbol = NoSymbol;
    if (!XkbTranslateKeyCode(keyboard, code, XkbBuildCoreState(modifiers, group), &consumed, &symbol))
        return NoSymbol;
    return symbol;
}

// The text a key types without modifiers, empty for none.
static std::string keyCodeToString(XkbDescPtr keyboard, KeyCode code, int group)
{
    uint32_t character = keysymCharacter(keySymbol(keyboard, code, group, 0));
    return character == 0 ? "" : utf8(character);
}

// The text a key types with Shift, empty for none; a dead key types nothing
// by itself.
static std::string shiftedKeyText(XkbDescPtr keyboard, KeyCode code, int group)
{
    KeySym symbol = keySymbol(keyboard, code, group, ShiftMask);
    bool dead = symbol >= XK_dead_grave && symbol <= XK_dead_longsolidusoverlay;
    uint32_t character = dead ? 0 : keysymCharacter(symbol);
    return character == 0 ? "" : utf8(character);
}

bool linuxKeyboardMap(KeyboardMap& map)
{
    XConnection x;
    if (x.display == nullptr)
        return false;
    XkbStateRec state{};
    XkbDescPtr keyboard = XkbGetMap(x.display, XkbAllClientInfoMask, XkbUseCoreKbd);
    if (keyboard == nullptr || XkbGetState(x.display, XkbUseCoreKbd, &state) != Success)
    {
        if (keyboard != nullptr)
            XkbFreeKeyboard(keyboard, 0, True);
        return false;
    }
    for (int code = keyboard->min_key_code; code <= keyboard->max_key_code; code++)
    {
        std::string text = keyCodeToString(keyboard, KeyCode(code), state.group);
        std::string shifted = shiftedKeyText(keyboard, KeyCode(code), state.group);
        if (!text.empty() || !shifted.empty())
            map.keys.push_back({uint16_t(code), text, shifted});
    }
    XkbFreeKeyboard(keyboard, 0, True);
    map.shift = XKeysymToKeycode(x.display, XK_Shift_L);
    map.enter = XKeysymToKeycode(x.display, XK_Return);
    map.space = XKeysymToKeycode(x.display, XK_space);
    if (x.broken)
        map = KeyboardMap();
    return !x.broken;
}

static bool hasXTest(Display* display)
{
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    return XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor);
}

void linuxPostKeys(const std::vector<KeyEvent>& events)
{
    XConnection x;
    if (x.display == nullptr || !hasXTest(x.display))
        return;
    // A code outside the server's range (0: a key the mapping lacks) is skipped.
    int first = 0, last = 0;
    XDisplayKeycodes(x.display, &first, &last);
    // A server gone mid-text ends the typing.
    for (size_t i = 0; i < events.size() && !x.broken; i++)
        if (events[i].code >= first && events[i].code <= last)
            XTestFakeKeyEvent(x.display, events[i].code, events[i].down ? True : False, CurrentTime);
    XSync(x.display, False);
}

void linuxPostClick(int32_t x, int32_t y)
{
    XConnection connection;
    if (connection.display == nullptr || !hasXTest(connection.display))
        return;
    // The protocol carries 16-bit coordinates: clamp rather than wrap around.
    int rootX = std::clamp(x, -32768, 32767);
    int rootY = std::clamp(y, -32768, 32767);
    XTestFakeMotionEvent(connection.display, DefaultScreen(connection.display), rootX, rootY, CurrentTime);
    XTestFakeButtonEvent(connection.display, 1, True, CurrentTime);
    XTestFakeButtonEvent(connection.display, 1, False, CurrentTime);
    XSync(connection.display, False);
}
