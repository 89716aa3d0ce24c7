#include "x_client.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>
#include <poll.h>

#include <chrono>

XClient::XClient(const std::string& name)
{
    display = XOpenDisplay(name.c_str());
}

XClient::~XClient()
{
    if (display != nullptr)
        XCloseDisplay(display);
}

// Waits a moment for events from the server.
static void waitForEvents(Display* display)
{
    pollfd wait = {ConnectionNumber(display), POLLIN, 0};
    poll(&wait, 1, 20);
}

XWindow XClient::window(int x, int y, unsigned width, unsigned height, Listen listen, long pid)
{
    long events = listen == Listen::Keys ? KeyPressMask | KeyReleaseMask
                  : listen == Listen::Buttons ? ButtonPressMask
                                              : NoEventMask;
    Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), x, y, width, height, 0, 0, 0);
    if (pid != 0)
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
    XSelectInput(display, window, events | StructureNotifyMask);
    XMapWindow(display, window);
    XSync(display, False);
    // A window manager maps it in its own time: wait, but not for ever.
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    XEvent event;
    while (!XCheckTypedWindowEvent(display, window, MapNotify, &event) && std::chrono::steady_clock::now() < until)
        waitForEvents(display);
    return window;
}

void XClient::focus(XWindow window)
{
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    XSync(display, False);
}

void XClient::setStates(XWindow window, const std::vector<const char*>& states)
{
    std::vector<long> atoms;
    for (const char* state : states)
        atoms.push_back(long(XInternAtom(display, state, False)));
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(atoms.data()), int(atoms.size()));
    XSync(display, False);
}

bool XClient::managed(XWindow window)
{
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, "_NET_CLIENT_LIST", False), 0,
                       1024, False, XA_WINDOW, &type, &format, &count, &remaining, &data);
    bool found = false;
    for (unsigned long i = 0; data != nullptr && i < count; i++)
        found = found || reinterpret_cast<Window*>(data)[i] == window;
    if (data != nullptr)
        XFree(data);
    return found;
}

void XClient::setMonitor(const char* name, int x, int y, int width, int height, bool primary, bool takesOutput)
{
    Window root = DefaultRootWindow(display);
    XRRScreenResources* resources = XRRGetScreenResources(display, root);
    XRRMonitorInfo* monitor = XRRAllocateMonitor(display, takesOutput ? 1 : 0);
    monitor->name = XInternAtom(display, name, False);
    monitor->primary = primary;
    monitor->x = x;
    monitor->y = y;
    monitor->width = width;
    monitor->height = height;
    monitor->mwidth = width / 4;
    monitor->mheight = height / 4;
    if (takesOutput)
        monitor->outputs[0] = resources->outputs[0];
    XRRSetMonitor(display, root, monitor);
    XSync(display, False);
    XRRFreeMonitors(monitor);
    XRRFreeScreenResources(resources);
}

static std::string keyName(Display* display, unsigned keycode)
{
    const char* name = XKeysymToString(XkbKeycodeToKeysym(display, KeyCode(keycode), 0, 0));
    return name != nullptr ? name : "?";
}

std::vector<std::string> XClient::record(const std::string& last, int milliseconds)
{
    std::vector<std::string> seen;
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while ((seen.empty() || seen.back() != last) && std::chrono::steady_clock::now() < until)
    {
        if (XPending(display) == 0)
        {
            waitForEvents(display);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == KeyPress || event.type == KeyRelease)
            seen.push_back((event.type == KeyPress ? "+" : "-") + keyName(display, event.xkey.keycode));
        else if (event.type == ButtonPress)
            seen.push_back("click " + std::to_string(event.xbutton.button) + " " + std::to_string(event.xbutton.x_root) +
                           " " + std::to_string(event.xbutton.y_root));
    }
    return seen;
}

std::string XClient::typed(int milliseconds)
{
    std::string text;
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while ((text.empty() || text.back() != '\r') && std::chrono::steady_clock::now() < until)
    {
        if (XPending(display) == 0)
        {
            waitForEvents(display);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        char characters[16];
        if (event.type == KeyPress)
            text.append(characters, size_t(XLookupString(&event.xkey, characters, sizeof characters, nullptr, nullptr)));
    }
    return text;
}

void XClient::lockGroup(unsigned group)
{
    XkbLockGroup(display, XkbUseCoreKbd, group);
    XSync(display, False);
}

uint16_t XClient::keyCode(const char* keysym)
{
    return XKeysymToKeycode(display, XStringToKeysym(keysym));
}
