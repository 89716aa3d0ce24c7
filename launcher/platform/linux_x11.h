// A connection to the X display for the length of one call.
#pragma once

#include <X11/Xlib.h>

// Opens the display that DISPLAY names; display stays null when DISPLAY is
// unset or the display cannot be opened. While it is open, X errors are
// ignored instead of ending the process (Xlib's default), so a window that
// vanishes mid-call only fails the request that named it; the previous
// handler is back once the connection is closed.
struct XConnection
{
    Display* display = nullptr;
    XErrorHandler previousHandler = nullptr;

    XConnection();
    ~XConnection();
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;
};
