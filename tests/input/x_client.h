// The tests' own X client: it makes windows, takes the focus, describes the
// monitors and records the key and button events its windows receive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Xlib's headers stay out of the tests: their macros (None, Bool) clash
// with GoogleTest's names.
using XWindow = unsigned long;
struct _XDisplay;

enum class Listen
{
    Nothing,
    Keys,
    Buttons,
};

struct XClient
{
    _XDisplay* display = nullptr;

    explicit XClient(const std::string& name);
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    // A mapped top-level window receiving events; _NET_WM_PID is set when
    // pid is not 0.
    XWindow window(int x, int y, unsigned width, unsigned height, Listen listen = Listen::Nothing, long pid = 0);
    void focus(XWindow window);
    void setStates(XWindow window, const std::vector<const char*>& states);
    // Whether the window manager lists the window among its clients.
    bool managed(XWindow window);
    // Declares a monitor (RandR 1.5); the one that takes over the screen's
    // output replaces the monitor the server made for it.
    void setMonitor(const char* name, int x, int y, int width, int height, bool primary, bool takesOutput);

    // Key and button events in order, as "+h" and "-h" for a press and a
    // release of the key typing h (by its keysym's name), and "click B X Y"
    // for a press of button B at a root position; until one equal to last
    // arrives or the time is up.
    std::vector<std::string> record(const std::string& last, int milliseconds = 5000);
    // The text the key presses type, as the window's own lookup makes it,
    // until Return is pressed or the time is up.
    std::string typed(int milliseconds = 5000);
    // The key code of a keysym, by its name ("KP_Add").
    uint16_t keyCode(const char* keysym);
    // Locks the keyboard group (0 for the first layout).
    void lockGroup(unsigned group);
};
