#include "linux_x11.h"

#include <cstdlib>

static int ignoreError(Display*, XErrorEvent*)
{
    return 0;
}

XConnection::XConnection()
{
    const char* name = getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0')
        return;
    display = XOpenDisplay(name);
    if (display != nullptr)
        previousHandler = XSetErrorHandler(ignoreError);
}

XConnection::~XConnection()
{
    if (display == nullptr)
        return;
    // Closing waits for the server's answers, so the errors of this call
    // still meet the ignoring handler.
    XCloseDisplay(display);
    XSetErrorHandler(previousHandler);
}
