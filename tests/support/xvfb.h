// An X server of the test's own: Xvfb on the first free display from :91,
// optionally with a window manager, both stopped with the object.
#pragma once

#include <sys/types.h>

#include <string>

struct Xvfb
{
    std::string display; // ":N"; empty when no server could be started
    pid_t server = -1;
    pid_t windowManager = -1;

    // screen as Xvfb takes it, such as "1440x900x24".
    explicit Xvfb(const std::string& screen);
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    // Starts openbox and waits until it manages the screen.
    bool startWindowManager();
    // Gives the server's keyboard these layouts, as "us,de" (setxkbmap).
    bool setLayouts(const std::string& layouts);
};
