#include "companion.h"
#include "platform/platform.h"

#include <cstring>

float sendToCompanion(const char* message, uint16_t port, int waitMilliseconds)
{
    if (message == nullptr)
        return -1;
    // Read no further than one byte past the largest message.
    size_t length = strnlen(message, kMaxMessage + 1);
    if (length > kMaxMessage)
        return -1;
    return float(networkServices().exchangeWithCompanion(port, message, length, waitMilliseconds));
}
