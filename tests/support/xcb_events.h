// Waiting on an X server's events through XCB, whose connection outlives its
// server (an error, not the end of the process) and serves one thread alone.
#pragma once

#include <poll.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>

// Milliseconds left until a deadline, at least 0.
inline int millisecondsUntil(std::chrono::steady_clock::time_point until)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    return left.count() > 0 ? int(left.count()) : 0;
}

// The next event, or null once the deadline has passed or the connection
// ended; the caller frees it.
inline xcb_generic_event_t* nextEvent(xcb_connection_t* connection, std::chrono::steady_clock::time_point until)
{
    xcb_flush(connection);
    for (;;)
    {
        if (xcb_generic_event_t* event = xcb_poll_for_event(connection))
            return event;
        int left = millisecondsUntil(until);
        pollfd wait = {xcb_get_file_descriptor(connection), POLLIN, 0};
        if (left == 0 || poll(&wait, 1, left) != 1 || xcb_connection_has_error(connection))
            return nullptr;
    }
}

// Gives the window the keyboard, as a click on it would; true once the
// server says it has it.
inline bool focusWindow(xcb_connection_t* connection, xcb_window_t window)
{
    xcb_set_input_focus(connection, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    xcb_get_input_focus_reply_t* focus = xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr);
    bool focused = focus && focus->focus == window;
    free(focus);
    return focused;
}
