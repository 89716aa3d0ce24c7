// The exchange with the companion program on Windows: Winsock 2, started
// and cleaned up within the call, over the loopback address.
// Winsock 2 comes before windows.h, which would bring in its predecessor.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "windows_platform.h"

namespace
{
struct Winsock
{
    bool started;
    Winsock()
    {
        WSADATA data;
        started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~Winsock()
    {
        if (started)
            WSACleanup();
    }
};

struct Socket
{
    SOCKET value;
    ~Socket()
    {
        if (value != INVALID_SOCKET)
            closesocket(value);
    }
};
}

CompanionOutcome windowsExchangeWithCompanion(uint16_t port, const char* message, size_t length, int waitMilliseconds)
{
    Winsock winsock;
    if (!winsock.started)
        return CompanionOutcome::Failed;
    Socket connection{socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)};
    if (connection.value == INVALID_SOCKET)
        return CompanionOutcome::Failed;
    DWORD limit = DWORD(waitMilliseconds);
    setsockopt(connection.value, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
    setsockopt(connection.value, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (InetPtonW(AF_INET, L"127.0.0.1", &address.sin_addr) != 1)
        return CompanionOutcome::NoLoopbackAddress;
    if (connect(connection.value, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return CompanionOutcome::Unreachable;
    while (length > 0)
    {
        int sent = send(connection.value, message, length > 65536 ? 65536 : int(length), 0);
        if (sent <= 0)
            return CompanionOutcome::Unreachable;
        message += sent;
        length -= size_t(sent);
    }
    // What the reply says is not read: the exchange stands unless receiving
    // fails, and a companion that closes once it has the message has answered.
    char reply[4096];
    return recv(connection.value, reply, sizeof reply, 0) < 0 ? CompanionOutcome::Failed : CompanionOutcome::Answered;
}
