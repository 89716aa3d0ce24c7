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
    switch (networkServices().exchangeWithCompanion(port, message, length, waitMilliseconds))
    {
    case CompanionOutcome::Answered:
        return 0;
    case CompanionOutcome::NoLoopbackAddress:
        return -2;
    case CompanionOutcome::Unreachable:
        return -3;
    case CompanionOutcome::Failed:
        break;
    }
    return -1;
}
