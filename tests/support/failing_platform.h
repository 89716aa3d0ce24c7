// The system's services with one of them failing at its n-th call (the first
// is 1), as a full disk or a refused open would make it fail, so that sweeps
// over a machine's failures run against real files. For services whose empty
// result (false, null) is their failure; one at a time.
#pragma once

#include "platform/platform.h"

#include <type_traits>

template <class Member>
struct ServiceOf;
template <class Group, class Pointer>
struct ServiceOf<Pointer Group::*>
{
    using type = Group;
};

template <auto Service>
struct FailingPlatform
{
    using Group = typename ServiceOf<decltype(Service)>::type;
    static inline bool fired = false; // false once n is past the calls made
    static inline long failAt = 0, calls = 0;
    Group services = system();

    explicit FailingPlatform(long n)
    {
        failAt = n, calls = 0, fired = false;
        services.*Service = pick(services.*Service);
        InstalledServices installed;
        if constexpr (std::is_same_v<Group, FileServices>)
            installed.files = &services;
        else if constexpr (std::is_same_v<Group, ProcessServices>)
            installed.processes = &services;
        else if constexpr (std::is_same_v<Group, DesktopServices>)
            installed.desktop = &services;
        else
            installed.network = &services;
        installServices(installed);
    }
    ~FailingPlatform() { installServices({}); }

    static const Group& system()
    {
        if constexpr (std::is_same_v<Group, FileServices>)
            return systemFileServices();
        else if constexpr (std::is_same_v<Group, ProcessServices>)
            return systemProcessServices();
        else if constexpr (std::is_same_v<Group, DesktopServices>)
            return systemDesktopServices();
        else
            return systemNetworkServices();
    }
    template <class Result, class... Arguments>
    static Result call(Arguments... arguments)
    {
        static_assert(std::is_same_v<Result, bool> || std::is_pointer_v<Result>);
        if (++calls == failAt)
            return fired = true, Result{};
        return (system().*Service)(arguments...);
    }
    template <class Result, class... Arguments>
    static auto pick(Result (*)(Arguments...)) { return &call<Result, Arguments...>; }
};
