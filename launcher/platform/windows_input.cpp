// Typing and clicking on Windows: the foreground thread's keyboard layout
// read key by key, and SendInput for keys and for the click.
#include "windows_platform.h"

bool windowsKeyboardMap(KeyboardMap& map)
{
    HWND focus = GetForegroundWindow();
    HKL layout = GetKeyboardLayout(focus ? GetWindowThreadProcessId(focus, nullptr) : 0);
    const BYTE noModifiers[256] = {};
    BYTE shift[256] = {};
    shift[VK_SHIFT] = 0x80;
    for (UINT key = 1; key <= 254; key++)
    {
        wchar_t typed[8] = {};
        UINT scan = MapVirtualKeyExW(key, MAPVK_VK_TO_VSC, layout);
        // Flag 4 leaves the keyboard state as it was. A dead key answers -1
        // with its spacing accent, which is what it types before Space; one
        // whose accent lies beyond ASCII is left out, as typing it would only
        // change the character after it.
        std::string text;
        int length = ToUnicodeEx(key, scan, noModifiers, typed, 8, 4, layout);
        if (length > 0 || (length == -1 && typed[0] < 0x80))
        {
            text = toUtf8(typed, length < 0 ? 1 : size_t(length));
        }
        // With Shift a dead key types nothing by itself.
        wchar_t shiftedTyped[8] = {};
        length = ToUnicodeEx(key, scan, shift, shiftedTyped, 8, 4, layout);
        std::string shifted = length > 0 ? toUtf8(shiftedTyped, size_t(length)) : std::string();
        if (!text.empty() || !shifted.empty())
            map.keys.push_back({uint16_t(key), text, shifted});
    }
    map.shift = VK_SHIFT;
    map.enter = VK_RETURN;
    map.space = VK_SPACE;
    return true;
}

void windowsPostKeys(const std::vector<KeyEvent>& events)
{
    std::vector<INPUT> inputs;
    for (const KeyEvent& event : events)
    {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = event.code;
        input.ki.wScan = WORD(MapVirtualKeyW(event.code, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = event.down ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    if (!inputs.empty())
        SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

void windowsPostClick(int32_t x, int32_t y)
{
    // Absolute positions run from 0 to 65535 over the whole virtual desktop.
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width < 2 || height < 2)
        return;
    INPUT inputs[3] = {};
    for (INPUT& input : inputs)
        input.type = INPUT_MOUSE;
    inputs[0].mi.dx = LONG((int64_t(x - left) * 65535) / (width - 1));
    inputs[0].mi.dy = LONG((int64_t(y - top) * 65535) / (height - 1));
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, inputs, sizeof(INPUT));
}
