// The system's own services with one of them failing at its n-th call (the
// first is 1), as a full disk or a refused open would make it fail, so that
// sweeps over a machine's failures run against real files. For services
// whose empty result is their failure (false, null); one at a time.
#pragma once

#include "platform/platform.h"

#include <type_traits>

template <auto Service>
class FailingPlatform
{
  public:
    explicit FailingPlatform(long n)
    {
        failAt = n;
        calls = 0;
        fired = false;
        services = systemPlatform();
        services.*Service = call;
        installPlatform(&services);
    }
    ~FailingPlatform() { installPlatform(nullptr); }
    FailingPlatform(const FailingPlatform&) = delete;
    FailingPlatform& operator=(const FailingPlatform&) = delete;

    // False once n is past the calls made.
    static inline bool fired = false;

  private:
    template <class Result, class... Arguments>
    static Result trampoline(Arguments... arguments)
    {
        static_assert(std::is_same_v<Result, bool> || std::is_pointer_v<Result>);
        if (++calls == failAt)
            return fired = true, Result{};
        return (systemPlatform().*Service)(arguments...);
    }
    template <class Result, class... Arguments>
    static constexpr auto pick(Result (*)(Arguments...))
    {
        return &trampoline<Result, Arguments...>;
    }
    static constexpr auto call = pick(decltype(PlatformServices{}.*Service){});

    static inline long failAt = 0;
    static inline long calls = 0;
    PlatformServices services;
};
