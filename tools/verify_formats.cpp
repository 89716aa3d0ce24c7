// Checks the Collada writer's float formatters against the C library's
// snprintf for every one of the 2^32 float bit patterns: %g and %f of the
// float widened to double; and its index formatter against std::to_chars for
// every 32-bit index. The patterns are shared out in blocks among one
// thread per core. Prints the number checked and the first difference, by
// bit pattern, if there is one; exits 1 when there is.
#include "exportparts/number_format.h"

#include <atomic>
#include <bit>
#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace
{
constexpr uint64_t kPatterns = uint64_t(1) << 32;
constexpr uint64_t kBlock = uint64_t(1) << 20;

struct Difference
{
    uint64_t bits = UINT64_MAX; // none found
    const char* format = "";
    std::string expected;
    std::string written;
};

struct Shared
{
    std::atomic<uint64_t> nextBlock{0};
    std::atomic<uint64_t> checked{0};
};

enum class Format
{
    General,
    Fixed,
    Index
};

// False, with the difference filled in, when the texts differ.
bool same(uint32_t bits, Format format, Difference& difference)
{
    float value = std::bit_cast<float>(bits);
    char expected[64];
    char written[64];
    int length = 0;
    char* end = written;
    switch (format)
    {
    case Format::General:
        length = snprintf(expected, sizeof expected, "%g", double(value));
        end = formatGeneral(written, value);
        break;
    case Format::Fixed:
        length = snprintf(expected, sizeof expected, "%f", double(value));
        end = formatFixed(written, value);
        break;
    case Format::Index:
        length = int(std::to_chars(expected, expected + sizeof expected, bits).ptr - expected);
        end = putIndex(written, indexText(bits));
        break;
    }
    if (length == end - written && memcmp(expected, written, size_t(length)) == 0)
        return true;
    const char* names[] = {"%g", "%f", "index"};
    difference = {bits, names[int(format)], std::string(expected, size_t(length)), std::string(written, end)};
    return false;
}

// Checks blocks in increasing order until the patterns run out or a block
// lies beyond a difference already found by this thread.
void work(Shared& shared, Difference& first)
{
    for (;;)
    {
        uint64_t start = shared.nextBlock.fetch_add(kBlock);
        if (start >= kPatterns || start > first.bits)
            return;
        for (uint64_t bits = start; bits < start + kBlock; bits++)
        {
            Difference difference;
            if ((!same(uint32_t(bits), Format::General, difference) ||
                 !same(uint32_t(bits), Format::Fixed, difference) ||
                 !same(uint32_t(bits), Format::Index, difference)) &&
                difference.bits < first.bits)
                first = difference;
        }
        uint64_t checked = shared.checked.fetch_add(kBlock) + kBlock;
        if (checked % (uint64_t(1) << 28) == 0)
            fprintf(stderr, "verify-formats: %" PRIu64 " of %" PRIu64 " checked\n", checked, kPatterns);
    }
}
}

int main()
{
    unsigned threads = std::max(2u, std::thread::hardware_concurrency());
    Shared shared;
    std::vector<Difference> firsts(threads);
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < threads; i++)
        workers.emplace_back(work, std::ref(shared), std::ref(firsts[i]));
    for (std::thread& worker : workers)
        worker.join();

    Difference first;
    for (const Difference& difference : firsts)
        if (difference.bits < first.bits)
            first = difference;
    printf("verify-formats: %" PRIu64 " bit patterns checked with %u threads, as a float by %%g and %%f "
           "and as an index\n",
           shared.checked.load(), threads);
    if (first.bits == UINT64_MAX)
    {
        printf("verify-formats: no difference from snprintf and std::to_chars\n");
        return 0;
    }
    printf("verify-formats: first difference at bits 0x%08" PRIx64 " (%a), %s: expected \"%s\", formatter \"%s\"\n",
           first.bits, double(std::bit_cast<float>(uint32_t(first.bits))), first.format, first.expected.c_str(),
           first.written.c_str());
    return 1;
}
