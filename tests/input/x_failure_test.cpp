// A display that fails never ends or freezes the host: a server killed in
// the middle of a call, and a server that accepts connections but never
// answers.
#include "launcher.h"
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

TEST(FailingDisplay, ServerKilledWhileTyping)
{
    Xvfb dying("640x480x24"), other("800x600x24");
    ASSERT_FALSE(dying.display.empty() || other.display.empty());
    setenv("DISPLAY", dying.display.c_str(), 1);
    Launcher call;
    // Long enough to be typing still when the server goes.
    std::string text(400000, 'a');
    std::thread killer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        kill(dying.server, SIGKILL);
    });
    Clock::time_point start = Clock::now();
    EXPECT_EQ(call("PasteText", text.c_str()), 0);
    killer.join();
    EXPECT_GT(Clock::now() - start, std::chrono::milliseconds(150)) << "typing ended before the server did";
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
