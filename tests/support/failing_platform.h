// The system's services with one of them failing at its n-th call (the first
// is 1), as a full disk or a refused open would make it fail, so that sweeps
// over a machine's failures run against real files. For services whose empty
// result (false, null) is their failure; one at a time.
#pragma once

#include "platform/platform.h"

#include <type_traits>

template <auto Service>
struct FailingPlatform
{
    static inline bool fired = false; // false once n is past the calls made
    static inline long failAt = 0, calls = 0;
    PlatformServices services = systemPlatform();

    explicit FailingPlatform(long n)
    {
        failAt = n, calls = 0, fired = false;
        services.*Service = pick(services.*Service);
        installPlatform(&services);
    }
    ~FailingPlatform() { installPlatform(nullptr); }

    template <class Result, class... Arguments>
    static Result call(Arguments... arguments)
    {
        static_assert(std::is_same_v<Result, bool> || std::is_pointer_v<Result>);
        if (++calls == failAt)
            return fired = true, Result{};
        return (systemPlatform().*Service)(arguments...);
    }
    template <class Result, class... Arguments>
    static auto pick(Result (*)(Arguments...)) { return &call<Result, Arguments...>; }
};
