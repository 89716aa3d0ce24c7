// The system's own services with one of them failing at its n-th call, as a
// full disk, a removed medium or a refused open would make it fail, so that
// sweeps over a machine's failures run against real files. One at a time.
#pragma once

#include "platform/platform.h"

#include <filesystem>
#include <string>

template <auto Service>
struct ServiceTag
{
};
// Names a service: FailingPlatform platform(service<&PlatformServices::openFile>, 3).
template <auto Service>
constexpr ServiceTag<Service> service{};

class FailingPlatform
{
  public:
    // The system's services, with Service failing at its n-th call from now
    // (the first is 1) and succeeding at every other.
    template <auto Service>
    FailingPlatform(ServiceTag<Service>, long n)
    {
        state() = {n, 0, false};
        services = systemPlatform();
        services.*Service = &Trampoline<Service, decltype(services.*Service)>::call;
        installPlatform(&services);
    }
    ~FailingPlatform() { installPlatform(nullptr); }
    FailingPlatform(const FailingPlatform&) = delete;
    FailingPlatform& operator=(const FailingPlatform&) = delete;

    // Whether the failing call came: false once n is past the calls made.
    bool fired() const { return state().fired; }

  private:
    struct State
    {
        long failAt;
        long calls;
        bool fired;
    };
    static State& state()
    {
        static State current{};
        return current;
    }

    // What each kind of result reads as a failure.
    static bool failure(bool*) { return false; }
    template <class T>
    static T* failure(T**)
    {
        return nullptr;
    }
    static int failure(int*) { return -1; }
    static CopyOutcome failure(CopyOutcome*) { return CopyOutcome::Failed; }
    static std::string failure(std::string*) { return {}; }
    static std::filesystem::path failure(std::filesystem::path*) { return {}; }

    template <auto Service, class Pointer>
    struct Trampoline;
    template <auto Service, class Result, class... Arguments>
    struct Trampoline<Service, Result (*&)(Arguments...)>
    {
        static Result call(Arguments... arguments)
        {
            State& s = state();
            if (++s.calls == s.failAt)
            {
                s.fired = true;
                return failure(static_cast<Result*>(nullptr));
            }
            return (systemPlatform().*Service)(arguments...);
        }
    };

    PlatformServices services;
};
