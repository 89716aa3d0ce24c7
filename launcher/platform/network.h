// The network group: the companion on the loopback address and the HTTP
// exchange downloads are made of.
#pragma once

#include "http_exchange.h"

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
    // Sends request and reads its answer (a redirect is answered, not
    // followed) within the request's deadline and limit. False when the
    // exchange failed: no connection, an error on the way, the deadline or
    // the limit passed. A body cut short may still come back where the HTTP
    // library cannot tell: its lengths and chunks say whether it is whole.
    bool (*httpExchange)(const HttpRequest& request, HttpAnswer& answer);
};
