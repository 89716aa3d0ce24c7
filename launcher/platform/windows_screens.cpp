// Screens and windows on Windows: the monitors in EnumDisplayMonitors' order,
// the foreground window's centre, and this process's first window with its
// full-screen switch.
#include "windows_platform.h"

static BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM context)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info))
    {
        const RECT& r = info.rcMonitor;
        reinterpret_cast<ScreenLayout*>(context)->monitors.push_back(
            {r.left, r.top, r.right - r.left, r.bottom - r.top, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

ScreenLayout windowsScreenLayout()
{
    ScreenLayout layout;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&layout));
    HWND focus = GetForegroundWindow();
    RECT frame;
    if (focus && GetWindowRect(focus, &frame))
    {
        layout.focused = true;
        layout.focusCentreX = frame.left + (frame.right - frame.left) / 2;
        layout.focusCentreY = frame.top + (frame.bottom - frame.top) / 2;
    }
    return layout;
}

static BOOL CALLBACK findOwnWindow(HWND window, LPARAM context)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(context) = window;
    return FALSE;
}

// The first visible top-level window of this process; null without one.
static HWND firstWindow()
{
    HWND window = nullptr;
    EnumWindows(findOwnWindow, reinterpret_cast<LPARAM>(&window));
    return window;
}

static bool monitorFrame(HWND window, RECT& frame)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info))
        return false;
    frame = info.rcMonitor;
    return true;
}

static bool isFullScreen(HWND window)
{
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    RECT frame, monitor;
    return !(style & (WS_CAPTION | WS_THICKFRAME)) && GetWindowRect(window, &frame) && monitorFrame(window, monitor) &&
           EqualRect(&frame, &monitor);
}

bool windowsFirstWindowFullScreen()
{
    HWND window = firstWindow();
    return window && isFullScreen(window);
}

// The window's normal style and frame are kept as properties of the window
// itself while it shows full screen, never in the library. A property of
// their own marks them kept: any of them may be 0, which reads as none.
static const wchar_t* const kNormalProperties[] = {L"TesmarNormalStyle", L"TesmarNormalLeft", L"TesmarNormalTop",
                                                   L"TesmarNormalRight", L"TesmarNormalBottom"};
static const wchar_t kNormalKept[] = L"TesmarNormalKept";

void windowsToggleFirstWindowFullScreen()
{
    HWND window = firstWindow();
    if (!window)
        return;
    RECT monitor;
    if (isFullScreen(window))
    {
        LONG_PTR kept[5] = {};
        bool known = RemovePropW(window, kNormalKept) != nullptr;
        for (int i = 0; i < 5; i++)
            kept[i] = reinterpret_cast<LONG_PTR>(RemovePropW(window, kNormalProperties[i]));
        // A window that was made borderless elsewhere gets an ordinary frame
        // over the middle of its monitor.
        if (!known && monitorFrame(window, monitor))
        {
            LONG width = monitor.right - monitor.left, height = monitor.bottom - monitor.top;
            kept[0] = GetWindowLongPtrW(window, GWL_STYLE) | WS_OVERLAPPEDWINDOW;
            kept[1] = monitor.left + width / 8;
            kept[2] = monitor.top + height / 8;
            kept[3] = monitor.right - width / 8;
            kept[4] = monitor.bottom - height / 8;
        }
        SetWindowLongPtrW(window, GWL_STYLE, kept[0]);
        SetWindowPos(window, nullptr, int(kept[1]), int(kept[2]), int(kept[3] - kept[1]), int(kept[4] - kept[2]),
                     SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
        return;
    }
    RECT frame;
    if (!GetWindowRect(window, &frame) || !monitorFrame(window, monitor))
        return;
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR normal[5] = {style, frame.left, frame.top, frame.right, frame.bottom};
    bool kept = true;
    for (int i = 0; i < 5; i++)
        kept = SetPropW(window, kNormalProperties[i], reinterpret_cast<HANDLE>(normal[i])) && kept;
    if (kept)
        SetPropW(window, kNormalKept, reinterpret_cast<HANDLE>(1));
    SetWindowLongPtrW(window, GWL_STYLE, style & ~LONG_PTR(WS_CAPTION | WS_THICKFRAME));
    SetWindowPos(window, HWND_TOP, monitor.left, monitor.top, monitor.right - monitor.left,
                 monitor.bottom - monitor.top, SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
}
