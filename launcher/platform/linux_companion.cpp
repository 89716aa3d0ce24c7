// The exchange with the companion program on Linux: a TCP connection to the
// loopback address.
#include "linux_platform.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace
{
// Closes the socket on every way out.
struct Socket
{
    int fd;
    ~Socket()
    {
        if (fd >= 0)
            close(fd);
    }
};
}

// The loopback address at port, looked up from its dotted text.
static bool loopbackAddress(uint16_t port, sockaddr_in& address)
{
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST;
    addrinfo* found = nullptr;
    if (getaddrinfo("127.0.0.1", nullptr, &hints, &found) != 0)
        return false;
    memcpy(&address, found->ai_addr, sizeof(address));
    freeaddrinfo(found);
    address.sin_port = htons(port);
    return true;
}

// Sends all bytes; a short write goes on where it stopped. MSG_NOSIGNAL:
// a companion that has gone away gives an error, not SIGPIPE to the host.
static bool sendAll(int fd, const char* bytes, size_t length)
{
    while (length > 0)
    {
        ssize_t sent = send(fd, bytes, length, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        bytes += sent;
        length -= size_t(sent);
    }
    return true;
}

CompanionOutcome linuxExchangeWithCompanion(uint16_t port, const char* message, size_t length, int waitMilliseconds)
{
    Socket connection{socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)};
    if (connection.fd < 0)
        return CompanionOutcome::Failed;
    // The send limit also bounds connect, which waits while the companion's
    // queue of connections is full.
    timeval limit = {waitMilliseconds / 1000, waitMilliseconds % 1000 * 1000};
    setsockopt(connection.fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit));
    setsockopt(connection.fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
    sockaddr_in address = {};
    if (!loopbackAddress(port, address))
        return CompanionOutcome::NoLoopbackAddress;
    if (connect(connection.fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0)
        return CompanionOutcome::Unreachable;
    if (!sendAll(connection.fd, message, length))
        return CompanionOutcome::Unreachable;

    // What the reply says is not read: the exchange stands unless receiving
    // fails, and a companion that closes once it has the message has answered.
    char reply[4096];
    ssize_t received;
    do
        received = recv(connection.fd, reply, sizeof reply, 0);
    while (received < 0 && errno == EINTR);
    return received < 0 ? CompanionOutcome::Failed : CompanionOutcome::Answered;
}
