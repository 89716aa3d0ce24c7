// The message to the local companion program.
#pragma once

#include <cstddef>
#include <cstdint>

// The companion program listens on this port of the loopback address.
constexpr uint16_t kCompanionPort = 5555;
// The largest message sent; a longer one is refused whole.
constexpr size_t kMaxMessage = 4095;
// How long the companion may take to accept, to take the message and to
// answer: one that never does must not hold the host's thread for ever.
constexpr int kCompanionWaitMilliseconds = 5000;
// Sends the NUL-terminated message to port on the loopback address and
// waits for one reply (not used): 0 sent and answered, the end of the
// connection counting as an answer; -1 for a null or too long message, no
// socket, or neither in time; -2 when the address cannot be had; -3 when
// nothing listens or the message cannot be written.
float sendToCompanion(const char* message, uint16_t port, int waitMilliseconds = kCompanionWaitMilliseconds);
