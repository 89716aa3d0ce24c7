// The network group: the companion on the loopback address and downloads.
#pragma once

#include <cstddef>
#include <cstdint>

struct NetworkServices
{
    // Sends message to the companion listening on the loopback address at
    // port and waits waitMilliseconds at most for each step (connecting,
    // sending, its reply): 0 when it replied or closed the connection, -2
    // without a loopback address, -3 when it cannot be reached or takes no
    // message, -1 for any other failure.
    int (*exchangeWithCompanion)(uint16_t port, const char* message, size_t length, int waitMilliseconds);
    // Fetches url and stores the body at the absolute path: written beside
    // it and renamed over it only after a complete, successful transfer that
    // brought at least one byte, and never over anything but a regular file.
    bool (*download)(const char* url, const char* path);
};
