#include "input/companion.h"
#include "launcher.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace
{
int openDescriptors()
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        count++;
    return count;
}

// A companion on the loopback address: it takes one connection, keeps what
// arrives until the sender closes, and answers unless told to stay silent
// or to hang up once the first bytes came.
struct Companion
{
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    uint16_t port = 0;
    std::string received;
    std::thread thread;

    explicit Companion(uint16_t wanted)
    {
        int on = 1;
        setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(wanted);
        socklen_t size = sizeof(address);
        if (bind(listener, reinterpret_cast<sockaddr*>(&address), size) == 0 && listen(listener, 4) == 0 &&
            getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            port = ntohs(address.sin_port);
    }
    ~Companion()
    {
        if (thread.joinable())
            thread.join();
        close(listener);
    }

    bool pending() const
    {
        pollfd wait = {listener, POLLIN, 0};
        return poll(&wait, 1, 0) == 1;
    }

    void serve(bool answer, bool hangUp = false)
    {
        thread = std::thread([this, answer, hangUp] {
            pollfd wait = {listener, POLLIN, 0};
            if (poll(&wait, 1, 10000) != 1)
                return;
            int peer = accept(listener, nullptr, nullptr);
            char bytes[8192];
            ssize_t n;
            while ((n = recv(peer, bytes, sizeof(bytes), 0)) > 0)
            {
                if (answer && received.empty())
                    send(peer, "done", 4, MSG_NOSIGNAL);
                received.append(bytes, size_t(n));
                if (hangUp)
                    break;
            }
            close(peer);
        });
    }
};
}

TEST(Companion, MessageGoesWholeAndTheReplyIsRead)
{
    for (size_t length : {size_t(15), kMaxMessage})
    {
        Companion companion(0);
        ASSERT_NE(companion.port, 0);
        companion.serve(true);
        std::string message = length == 15 ? "Hello companion" : std::string(length, 'm');
        EXPECT_EQ(sendToCompanion(message.c_str(), companion.port), 0);
        companion.thread.join();
        EXPECT_EQ(companion.received, message);
    }
    // Closing the connection once the message is there is an answer too.
    Companion hangsUp(0);
    hangsUp.serve(false, true);
    EXPECT_EQ(sendToCompanion("bye", hangsUp.port), 0);
    hangsUp.thread.join();
    EXPECT_EQ(hangsUp.received, "bye");
}

TEST(Companion, RefusedMessagesSendNothing)
{
    Companion companion(0);
    ASSERT_NE(companion.port, 0);
    std::string tooLong(kMaxMessage + 1, 'm');
    EXPECT_EQ(sendToCompanion(tooLong.c_str(), companion.port), -1);
    EXPECT_EQ(sendToCompanion(nullptr, companion.port), -1);
    EXPECT_FALSE(companion.pending());
}

TEST(Companion, SilenceAndAbsenceEndTheCallWithNoSocketLeft)
{
    int before = openDescriptors();
    uint16_t freePort;
    {
        Companion closed(0);
        freePort = closed.port;
    }
    EXPECT_EQ(sendToCompanion("anyone?", freePort), -3);
    EXPECT_EQ(openDescriptors(), before);

    Companion silent(0);
    silent.serve(false);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(sendToCompanion("hello", silent.port, 200), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    silent.thread.join();
    EXPECT_EQ(silent.received, "hello");
}

// The one test on the companion's real port, so no two of them meet there.
TEST(Companion, SendBlendTalksToPort5555)
{
    Launcher call;
    char message[] = "render scene";
    int before = openDescriptors();
    EXPECT_EQ(call("sendBlend", nullptr, message), -3);
    EXPECT_EQ(openDescriptors(), before);

    Companion companion(kCompanionPort);
    ASSERT_EQ(companion.port, kCompanionPort) << "port 5555 is taken";
    companion.serve(true);
    EXPECT_EQ(call("sendBlend", nullptr, message), 0);
    companion.thread.join();
    EXPECT_EQ(companion.received, "render scene");
    EXPECT_EQ(call("sendBlend"), -1);
}
