// Timing for the export benchmarks. Each figure is measured once in every
// round, the figures of a round one after the other, so that a slow spell of
// this noisy machine falls on all of them alike; each is reported as the
// median of its rounds.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

inline double secondsNow()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// --rounds=N, 5 when not given. Other arguments are left alone: scripts/bench
// passes its arguments to every benchmark, and some are Google Benchmark's.
inline int roundsArgument(int argc, char** argv)
{
    for (int i = 1; i < argc; i++)
        if (strncmp(argv[i], "--rounds=", 9) == 0 && atoi(argv[i] + 9) > 0)
            return atoi(argv[i] + 9);
    return 5;
}
