// The network group: the companion on the loopback address and the HTTP
// exchange downloads are made of.
#pragma once

#include "http_exchange.h"

#include <cstddef>
#include <cstdint>

// How an exchange with the companion went.
enum class CompanionOutcome
{
    Answered,          // it replied, or closed the connection once it had the message
    NoLoopbackAddress, // the loopback address could not be had
    Unreachable,       // nothing listens, or the message could not be written
    Failed,            // no socket, or no reply in time
};

struct NetworkServices
{
    // Sends message to the companion listening on the loopback address at
    // port and waits waitMilliseconds at most for each step (connecting,
    // sending, its reply).
    CompanionOutcome (*exchangeWithCompanion)(uint16_t port, const char* message, size_t length, int waitMilliseconds);
    // Sends request and reads its answer (a redirect is answered, not
    // followed) within the request's deadline and limit. False when the
    // exchange failed: no connection, an error on the way, the deadline or
    // the limit passed. A body cut short may still come back where the HTTP
    // library cannot tell: its lengths and chunks say whether it is whole.
    bool (*httpExchange)(const HttpRequest& request, HttpAnswer& answer);
};
