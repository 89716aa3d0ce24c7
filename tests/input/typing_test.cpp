#include "input/click.h"
#include "input/typing.h"
#include "tests/support/platform_double.h"

#include <gtest/gtest.h>

namespace
{
// A small US-like mapping: Shift 50, Return 36, Space 65; the digit 1 on the
// top row (10) and on a keypad key (87) that comes later.
KeyboardMap usKeyboard()
{
    KeyboardMap keyboard;
    keyboard.keys = {{10, "1", ""}, {26, "e", ""}, {32, "o", ""}, {38, "a", ""}, {43, "h", ""},
                     {46, "l", ""}, {61, "/", ""}, {65, " ", ""}, {87, "1", ""}};
    keyboard.shift = 50;
    keyboard.enter = 36;
    keyboard.space = 65;
    return keyboard;
}

// Events as "+code" and "-code".
std::string describe(const std::vector<KeyEvent>& events)
{
    std::string text;
    for (const KeyEvent& event : events)
        text += (text.empty() ? "" : " ") + std::string(event.down ? "+" : "-") + std::to_string(event.code);
    return text;
}
}

TEST(Typing, ShiftedLettersAndSymbolsAndUnknownCharacters)
{
    KeyMap map = buildKeyMap(usKeyboard());
    // "1" goes to the later of its two keys, 87.
    EXPECT_EQ(describe(keyEvents(map, "Hello!")),
              "+50 +43 -43 -50 +26 -26 +46 -46 +46 -46 +32 -32 +50 +87 -87 -50 +36 -36");
    EXPECT_EQ(describe(keyEvents(map, "")), "+36 -36");
    // No key types "?", "x" or "\u00e9" here: Space, one for each character.
    EXPECT_EQ(describe(keyEvents(map, "?x\xc3\xa9")), "+65 -65 +65 -65 +65 -65 +36 -36");
    // Every symbol of the digit row is its digit with Shift, even one whose
    // digit has no key.
    EXPECT_EQ(describe(keyEvents(map, "@")), "+50 +65 -65 -50 +36 -36");
    EXPECT_EQ(describe(keyEvents(map, "A/")), "+50 +38 -38 -50 +61 -61 +36 -36");
}

TEST(Typing, CharactersBeyondAsciiAreLookedUpWhole)
{
    KeyboardMap keyboard = usKeyboard();
    keyboard.keys.push_back({11, "\u00e9", "2"});
    keyboard.keys.push_back({12, "\u00e4", "\u00c4"});
    keyboard.keys.push_back({13, "\u00f9", "%"});
    KeyMap map = buildKeyMap(keyboard);
    // \u00c4 is Shift on the key of \u00e4; Shift on the key of \u00e9 types
    // "2", so \u00c9 has no key, nor has \u20ac.
    EXPECT_EQ(describe(keyEvents(map, "\u00e9\u00c4\u00c9\u20ac\u00f9")),
              "+11 -11 +50 +12 -12 -50 +65 -65 +65 -65 +13 -13 +36 -36");
    // ASCII keeps its own rules: "%" is Shift and the key of "5" (none here).
    EXPECT_EQ(describe(keyEvents(map, "%")), "+50 +65 -65 -50 +36 -36");
    // Each byte of no well-formed character is one Space: a sequence broken
    // off by a blank, a lone continuation byte, a byte that begins nothing.
    EXPECT_EQ(describe(keyEvents(map, "\xe2\x82 \x80\xff")), "+65 -65 +65 -65 +65 -65 +65 -65 +65 -65 +36 -36");
}

// A key map from any platform is folded alike: an ASCII capital a key types
// unmodified counts as its small letter, a character beyond ASCII as typed.
TEST(Typing, OnlyAsciiKeyTextsAreFolded)
{
    KeyboardMap keyboard = usKeyboard();
    keyboard.keys.push_back({14, "Q", ""});
    keyboard.keys.push_back({15, "\u00c9", ""});
    KeyMap map = buildKeyMap(keyboard);
    EXPECT_EQ(describe(keyEvents(map, "qQ")), "+14 -14 +50 +14 -14 -50 +36 -36");
    EXPECT_EQ(describe(keyEvents(map, "\u00c9\u00e9")), "+15 -15 +65 -65 +36 -36");
}

TEST(Typing, KeyMapIsReadOnceAndNothingIsTypedWithoutAKeyboard)
{
    PlatformDouble platform;
    platform.keyboardAnswer = false;
    DoKeyPress("a");
    EXPECT_EQ(platform.calls, std::vector<std::string>{"keyboardMap"});

    platform.keyboardAnswer = true;
    platform.keyboard = usKeyboard();
    DoKeyPress("a");
    EXPECT_EQ(describe(platform.postedKeys), "+38 -38 +36 -36");

    // A later change of layout is not seen.
    platform.keyboard.keys = {{99, "a", ""}};
    platform.calls.clear();
    platform.postedKeys.clear();
    DoKeyPress("a");
    EXPECT_EQ(platform.calls, std::vector<std::string>{"postKeys"});
    EXPECT_EQ(describe(platform.postedKeys), "+38 -38 +36 -36");
}

TEST(Click, PointIsReadAsTwoIntegers)
{
    auto point = [](const char* text) {
        ClickPoint p = parseClickPoint(text);
        return std::to_string(p.x) + " " + std::to_string(p.y);
    };
    EXPECT_EQ(point("120 340"), "120 340");
    EXPECT_EQ(point("  -5\n+7 tail"), "-5 7");
    EXPECT_EQ(point("120"), "120 0");
    EXPECT_EQ(point("abc 340"), "0 0");
    EXPECT_EQ(point("12abc 340"), "12 0");
    EXPECT_EQ(point("99999999999 5"), "0 0"); // out of range counts as unreadable
    EXPECT_EQ(point(""), "0 0");

    PlatformDouble platform;
    EXPECT_EQ(sendClick("120 340"), 0);
    EXPECT_EQ(sendClick(nullptr), -1);
    EXPECT_EQ(platform.calls, std::vector<std::string>{"postClick 120 340"});
}
