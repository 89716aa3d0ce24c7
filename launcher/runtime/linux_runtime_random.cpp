// The C++ runtime inside the main library refers to arc4random (for
// std::random_device, which nothing here uses), and glibc has it only since
// 2.36. The library is linked with --wrap=arc4random so that this one, over
// getrandom, serves the reference instead, and it loads on glibc 2.34.
#include <sys/random.h>

#include <cerrno>
#include <cstdint>

extern "C" __attribute__((visibility("hidden"))) uint32_t __wrap_arc4random(void)
{
    uint32_t value = 0;
    while (getrandom(&value, sizeof value, 0) != ssize_t(sizeof value) && errno == EINTR)
    {
    }
    return value;
}
