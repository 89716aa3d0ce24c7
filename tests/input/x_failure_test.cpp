// A display that fails never ends or freezes the host: a server killed in
// the middle of a call, and a server that accepts connections but never
// answers.
#include "launcher.h"
#include "tests/support/xcb_events.h"
#include "tests/support/xvfb.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using Clock = std::chrono::steady_clock;

namespace
{
// A window of the test's own on a display, with the focus, counting the keys
// pressed there.
struct KeyCounter
{
    xcb_connection_t* connection;
    bool focused = false;

    explicit KeyCounter(const std::string& display) : connection(xcb_connect(display.c_str(), nullptr))
    {
        if (xcb_connection_has_error(connection))
            return;
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        xcb_window_t window = xcb_generate_id(connection);
        uint32_t events = XCB_EVENT_MASK_KEY_PRESS;
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK, &events);
        xcb_map_window(connection, window);
        focused = focusWindow(connection, window);
    }
    ~KeyCounter() { xcb_disconnect(connection); }
    KeyCounter(const KeyCounter&) = delete;
    KeyCounter& operator=(const KeyCounter&) = delete;

    static bool isPress(xcb_generic_event_t* event)
    {
        bool press = (event->response_type & 0x7f) == XCB_KEY_PRESS;
        free(event);
        return press;
    }
    // Waits for the first key press, for at most the time given.
    bool firstPress(std::chrono::seconds within)
    {
        Clock::time_point until = Clock::now() + within;
        while (xcb_generic_event_t* event = nextEvent(connection, until))
            if (isPress(event))
                return true;
        return false;
    }
    // The presses the server sent until its connection ended.
    size_t pressesUntilTheEnd()
    {
        size_t presses = 0;
        while (xcb_generic_event_t* event = xcb_wait_for_event(connection))
            presses += isPress(event);
        return presses;
    }
};
}

// The server goes once the first key has reached it: it took fewer keys than
// the text has, so the typing was cut short, and the call still answers.
TEST(FailingDisplay, ServerKilledWhileTyping)
{
    Xvfb dying("640x480x24"), other("800x600x24");
    ASSERT_FALSE(dying.display.empty() || other.display.empty());
    KeyCounter keys(dying.display);
    ASSERT_TRUE(keys.focused);
    setenv("DISPLAY", dying.display.c_str(), 1);
    Launcher call;
    std::string text(400000, 'a');
    size_t pressed = 0;
    std::thread killer([&] {
        if (!keys.firstPress(std::chrono::seconds(30)))
            return;
        kill(dying.server, SIGKILL);
        waitpid(dying.server, nullptr, 0);
        dying.server = -1;
        pressed = 1 + keys.pressesUntilTheEnd();
    });
    EXPECT_EQ(call("PasteText", text.c_str()), 0);
    killer.join();
    EXPECT_GT(pressed, 0u) << "no key reached the server";
    EXPECT_LT(pressed, text.size()) << "typing ended before the server did";
    EXPECT_EQ(call("GetScnW"), 0);
    // A later call on a live display connects afresh.
    setenv("DISPLAY", other.display.c_str(), 1);
    EXPECT_EQ(call("GetScnW"), 800);
    unsetenv("DISPLAY");
}

// Each command in a child of its own, all at once: each answers as without a
// display once the connection has not been completed within two seconds.
TEST(FailingDisplay, SilentServerCountsAsNoDisplay)
{
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int number = 0;
    for (int n = 40; n < 100 && number == 0; n++)
    {
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(uint16_t(6000 + n));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(listener, 16) == 0)
            number = n;
    }
    ASSERT_NE(number, 0);
    setenv("DISPLAY", ("127.0.0.1:" + std::to_string(number)).c_str(), 1);
    Launcher launcher;
    struct Call
    {
        const char* name;
        const char* text;
        float result;
    };
    const Call calls[] = {{"GetScnW", nullptr, 0},    {"CheckFullScn", nullptr, 0}, {"PasteText", "ab", 0},
                          {"SendClick", "1 2", 0},   {"ChooseFolder", nullptr, -1}};
    std::vector<pid_t> children;
    Clock::time_point start = Clock::now();
    for (const Call& c : calls)
    {
        pid_t child = fork();
        if (child == 0)
        {
            char buffer[256];
            float result = launcher.library.command(c.name)(c.text, 0, buffer, sizeof buffer, nullptr, 0, nullptr);
            _exit(result == c.result ? 0 : 1);
        }
        children.push_back(child);
    }
    for (size_t i = 0; i < children.size(); i++)
    {
        int status = -1;
        pid_t done = 0;
        while ((done = waitpid(children[i], &status, WNOHANG)) == 0 && Clock::now() - start < std::chrono::seconds(6))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (done == 0)
        {
            kill(children[i], SIGKILL);
            waitpid(children[i], nullptr, 0);
        }
        EXPECT_TRUE(done == children[i] && WIFEXITED(status) && WEXITSTATUS(status) == 0) << calls[i].name;
    }
    close(listener);
    unsetenv("DISPLAY");
}
