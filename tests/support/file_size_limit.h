// Files written while it lives grow to the given size and no further: a write
// past it fails as on a full disk (SIGXFSZ ignored meanwhile).
#pragma once

#include <csignal>
#include <cstddef>

#include <sys/resource.h>

struct FileSizeLimit
{
    rlimit before{};
    void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
    explicit FileSizeLimit(size_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit cut{rlim_t(bytes), before.rlim_max};
        setrlimit(RLIMIT_FSIZE, &cut);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &before), signal(SIGXFSZ, previous); }
};
