// Screens and the application's first window on X11, through one short
// connection per call: nothing is kept between calls. A connection that
// broke during the call answers as no display.
#include "linux_platform.h"
#include "linux_x11.h"
#include "platform.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>
#include <unistd.h>

// The action of a _NET_WM_STATE client message that switches a state.
static const long kStateToggle = 2;
// The message's source: a normal application.
static const long kSourceApplication = 1;

// Every monitor that RandR 1.5 lists; without it, the whole screen as one.
static void readMonitors(Display* display, Window root, std::vector<MonitorRect>& monitors)
{
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (XRRQueryExtension(display, &eventBase, &errorBase) && XRRQueryVersion(display, &major, &minor) &&
        (major > 1 || (major == 1 && minor >= 5)))
    {
        int count = 0;
        XRRMonitorInfo* list = XRRGetMonitors(display, root, True, &count);
        for (int i = 0; i < count; i++)
            monitors.push_back({list[i].x, list[i].y, list[i].width, list[i].height, list[i].primary != 0});
        if (list != nullptr)
            XRRFreeMonitors(list);
    }
    if (monitors.empty())
    {
        int screen = DefaultScreen(display);
        monitors.push_back({0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen), true});
    }
}

// The centre of the window holding the input focus, in root pixels; false
// when the focus is on no window, or on the root itself.
static bool readFocusCentre(Display* display, Window root, int32_t& x, int32_t& y)
{
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus == None || focus == PointerRoot || focus == root)
        return false;
    Window geometryRoot = None, child = None;
    int left = 0, top = 0;
    unsigned int width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, focus, &geometryRoot, &left, &top, &width, &height, &border, &depth))
        return false;
    if (!XTranslateCoordinates(display, focus, root, 0, 0, &left, &top, &child))
        return false;
    x = left + int32_t(width / 2);
    y = top + int32_t(height / 2);
    return true;
}

ScreenLayout linuxScreenLayout()
{
    ScreenLayout layout;
    XConnection x;
    if (x.display == nullptr)
        return layout;
    Window root = DefaultRootWindow(x.display);
    readMonitors(x.display, root, layout.monitors);
    layout.focused = readFocusCentre(x.display, root, layout.focusCentreX, layout.focusCentreY);
    return x.broken ? ScreenLayout() : layout;
}

// The 32-bit items of a window's property of the given type; empty when the
// window has no such property (the atom is not created for the question).
static std::vector<unsigned long> propertyItems(Display* display, Window window, const char* name, Atom type)
{
    std::vector<unsigned long> items;
    Atom property = XInternAtom(display, name, True);
    if (property == None)
        return items;
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 65536, False, type, &actualType, &format, &count,
                           &remaining, &data) == Success &&
        data != nullptr && actualType == type && format == 32)
    {
        // Xlib hands 32-bit items over as longs.
        const unsigned long* values = reinterpret_cast<const unsigned long*>(data);
        items.assign(values, values + count);
    }
    if (data != nullptr)
        XFree(data);
    return items;
}

// The top-level windows in the window manager's order of mapping, or, with
// no window manager, the root's children from the bottom of the stack up.
static std::vector<unsigned long> topLevelWindows(Display* display, Window root)
{
    std::vector<unsigned long> windows = propertyItems(display, root, "_NET_CLIENT_LIST", XA_WINDOW);
    if (!windows.empty())
        return windows;
    Window rootReturn = None, parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) && children != nullptr)
        windows.assign(children, children + count);
    if (children != nullptr)
        XFree(children);
    return windows;
}

// The first top-level window that this process owns, or None.
static Window firstOwnWindow(Display* display)
{
    unsigned long self = static_cast<unsigned long>(getpid());
    for (unsigned long window : topLevelWindows(display, DefaultRootWindow(display)))
    {
        std::vector<unsigned long> pid = propertyItems(display, window, "_NET_WM_PID", XA_CARDINAL);
        if (pid.size() == 1 && pid[0] == self)
            return window;
    }
    return None;
}

bool linuxFirstWindowFullScreen()
{
    XConnection x;
    if (x.display == nullptr)
        return false;
    Window window = firstOwnWindow(x.display);
    if (window == None)
        return false;
    Atom fullScreen = XInternAtom(x.display, "_NET_WM_STATE_FULLSCREEN", True);
    if (fullScreen == None)
        return false;
    for (unsigned long state : propertyItems(x.display, window, "_NET_WM_STATE", XA_ATOM))
        if (state == fullScreen)
            return !x.broken;
    return false;
}

void linuxToggleFirstWindowFullScreen()
{
    XConnection x;
    if (x.display == nullptr)
        return;
    Window window = firstOwnWindow(x.display);
    if (window == None)
        return;
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(x.display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = kStateToggle;
    event.xclient.data.l[1] = long(XInternAtom(x.display, "_NET_WM_STATE_FULLSCREEN", False));
    event.xclient.data.l[3] = kSourceApplication;
    XSendEvent(x.display, DefaultRootWindow(x.display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
}
