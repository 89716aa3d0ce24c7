// Files written while it lives may grow to the given size and no further; a
// write past it fails as on a full disk, SIGXFSZ being ignored meanwhile.
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
        rlimit cut = before;
        cut.rlim_cur = rlim_t(bytes);
        setrlimit(RLIMIT_FSIZE, &cut);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &before);
        signal(SIGXFSZ, previous);
    }
};
