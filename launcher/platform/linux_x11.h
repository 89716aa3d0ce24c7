// A connection to the X display for the length of one call.
#pragma once

#include <X11/Xlib.h>
#include <signal.h>

// How long a display may take to answer a new connection before it counts as
// no display: a server that accepts connections and never answers would
// otherwise hold the host for ever.
constexpr int kDisplayAnswerMilliseconds = 2000;

// Whether the X server that a display name such as ":0" or "host:1"
// designates takes a new connection but does not answer it within the time.
// Checked before a connection is opened, by this library or by a program it
// starts there; a display that refuses connections, or a name that names
// none, fails to open quickly on its own.
bool displaySilent(const char* name, int milliseconds);

// Opens the display that DISPLAY names; display stays null when DISPLAY is
// unset or the display does not answer in time or cannot be opened. While
// it is open, X errors are ignored instead of ending the process (Xlib's
// default), so a window that vanishes mid-call only fails the request that
// named it; and a connection that breaks (the server gone) marks it broken
// instead of ending the process: the call then answers as without a display,
// and the next call connects afresh. SIGPIPE, which writing to a server gone
// away raises and which ends the process by default, is held back for the
// calling thread meanwhile. The previous handlers and signal mask are back
// once the connection is closed.
struct XConnection
{
    // Blocks SIGPIPE for the thread while it lives; one raised meanwhile is
    // taken away unless it was pending already.
    struct QuietPipe
    {
        sigset_t previousMask;
        bool pendingBefore = false;
        QuietPipe();
        ~QuietPipe();
    } quietPipe;
    Display* display = nullptr;
    bool broken = false;
    XErrorHandler previousHandler = nullptr;
    XIOErrorHandler previousIOHandler = nullptr;

    XConnection();
    ~XConnection();
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    // Open and not broken.
    bool usable() const { return display != nullptr && !broken; }
};
