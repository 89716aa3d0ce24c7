// The %g and %f texts of a float widened to double, exactly as printf writes
// them, without printf or a general double algorithm. A float is m * 2^e with
// m below 2^24 and e from -149 to 104, so every digit needed follows from exact
// integer arithmetic: 64 bits for the values meshes hold, 128 bits at the far
// ends of the range. Rounding is to nearest with ties to even, on the exact
// value, as the C library rounds.
#include "number_format.h"

#include <bit>
#include <cstring>

namespace
{
using U128 = unsigned __int128;

struct Powers
{
    U128 five[51];
    U128 ten[39];
};

constexpr Powers makePowers()
{
    Powers powers{};
    powers.five[0] = 1;
    for (int i = 1; i < 51; i++)
        powers.five[i] = powers.five[i - 1] * 5;
    powers.ten[0] = 1;
    for (int i = 1; i < 39; i++)
        powers.ten[i] = powers.ten[i - 1] * 10;
    return powers;
}
constexpr Powers kPowers = makePowers();

// A finite float as negative, m and e with |value| = m * 2^e.
struct Binary
{
    bool negative;
    uint32_t mantissa;
    int32_t exponent;
};

// Answers false for NaN and the infinities, which are written as words.
bool decompose(float value, Binary& binary, uint32_t& bits)
{
    bits = std::bit_cast<uint32_t>(value);
    uint32_t biased = (bits >> 23) & 0xFF;
    uint32_t fraction = bits & 0x7FFFFF;
    binary.negative = bits >> 31;
    if (biased == 0xFF)
        return false;
    binary.mantissa = biased ? fraction | 0x800000 : fraction;
    binary.exponent = biased ? int32_t(biased) - 150 : -149;
    return true;
}

char* putWord(char* at, uint32_t bits)
{
    if (bits >> 31)
        *at++ = '-';
    bool nan = (bits & 0x7FFFFF) != 0;
    memcpy(at, nan ? "nan" : "inf", 3);
    return at + 3;
}

// num / 2^shift rounded to nearest, ties to even; shift below 128.
U128 roundShifted(U128 num, int32_t shift)
{
    if (shift <= 0)
        return num << -shift;
    U128 quotient = num >> shift;
    U128 rest = num - (quotient << shift);
    U128 half = U128(1) << (shift - 1);
    return quotient + (rest > half || (rest == half && (quotient & 1)));
}

U128 roundDivided(U128 num, U128 divisor)
{
    U128 quotient = num / divisor;
    U128 rest = num - quotient * divisor;
    return quotient + (rest > divisor - rest || (rest == divisor - rest && (quotient & 1)));
}

// m * 2^e * 10^k rounded to an integer, for results that fit in 64 bits. The
// common case, values from 1e-12 up, needs no more than 64-bit products.
uint64_t roundScaled(const Binary& x, int32_t k)
{
    if (k >= 0 && k <= 17)
    {
        uint64_t num = uint64_t(x.mantissa) * uint64_t(kPowers.five[k]);
        int32_t shift = -(x.exponent + k);
        if (shift <= 0)
            return num << -shift;
        uint64_t quotient = num >> shift;
        uint64_t rest = num - (quotient << shift);
        uint64_t half = uint64_t(1) << (shift - 1);
        return quotient + (rest > half || (rest == half && (quotient & 1)));
    }
    if (k >= 0)
        return uint64_t(roundShifted(U128(x.mantissa) * kPowers.five[k], -(x.exponent + k)));
    if (x.exponent >= 0)
        return uint64_t(roundDivided(U128(x.mantissa) << x.exponent, kPowers.ten[-k]));
    return uint64_t(roundDivided(x.mantissa, kPowers.ten[-k] << -x.exponent));
}

char* putPair(char* at, uint32_t pair)
{
    memcpy(at, kDigitPairs + 2 * pair, 2);
    return at + 2;
}

// The six digits of 100000 <= q <= 999999.
void sixDigits(char* at, uint32_t q)
{
    putPair(putPair(putPair(at, q / 10000), q / 100 % 100), q % 100);
}

// From the bit width; value | 1 gives 0 its one digit.
uint32_t digitCount(uint64_t value)
{
    uint32_t estimate = uint32_t(std::bit_width(value | 1) * 1233) >> 12;
    return estimate + ((value | 1) >= uint64_t(kPowers.ten[estimate]));
}

// The decimal digits of value, at least one.
char* putUnsigned(char* at, uint64_t value)
{
    uint32_t count = digitCount(value);
    char* end = at + count;
    char* p = end;
    while (value >= 100)
    {
        p -= 2;
        memcpy(p, kDigitPairs + 2 * (value % 100), 2);
        value /= 100;
    }
    if (value >= 10)
        memcpy(p - 2, kDigitPairs + 2 * value, 2);
    else
        p[-1] = char('0' + value);
    return end;
}

// A float from 2^24 up is an integer of up to 39 digits.
char* putWide(char* at, U128 value)
{
    constexpr uint64_t kChunk = 10000000000000000000ull; // 10^19
    uint64_t chunks[3];
    int count = 0;
    while (value >= kChunk)
    {
        chunks[count++] = uint64_t(value % kChunk);
        value /= kChunk;
    }
    at = putUnsigned(at, uint64_t(value));
    while (count > 0)
    {
        uint64_t chunk = chunks[--count];
        char digits[19];
        for (int i = 18; i >= 0; i--)
        {
            digits[i] = char('0' + chunk % 10);
            chunk /= 10;
        }
        memcpy(at, digits, 19);
        at += 19;
    }
    return at;
}

// The six significant digits of x, which is not zero, rounded, and the
// decimal exponent of the first.
uint32_t sixSignificant(const Binary& x, int32_t& exponent)
{
    // The decimal exponent is floor(log10) of the value, or one more.
    int32_t binaryExponent = int32_t(std::bit_width(x.mantissa)) - 1 + x.exponent;
    exponent = (binaryExponent * 78913) >> 18;
    uint64_t q = roundScaled(x, 5 - exponent);
    if (q >= 1000000)
    {
        exponent++;
        q = roundScaled(x, 5 - exponent);
    }
    // 999999.5 and above round to 1000000: one digit more.
    if (q == 1000000)
    {
        exponent++;
        q = 100000;
    }
    return uint32_t(q);
}

// The kept digits, the first of them times 10^exponent, as d.ddde+XX.
char* putScientific(char* at, const char* digits, int32_t kept, int32_t exponent)
{
    *at++ = digits[0];
    if (kept > 1)
    {
        *at++ = '.';
        memcpy(at, digits + 1, size_t(kept - 1));
        at += kept - 1;
    }
    *at++ = 'e';
    *at++ = exponent < 0 ? '-' : '+';
    return putPair(at, uint32_t(exponent < 0 ? -exponent : exponent));
}

// The same for -4 <= exponent < 6, without an exponent.
char* putPositional(char* at, const char* digits, int32_t kept, int32_t exponent)
{
    if (exponent >= 0)
    {
        int32_t whole = exponent + 1;
        memcpy(at, digits, size_t(whole));
        at += whole;
        if (kept > whole)
        {
            *at++ = '.';
            memcpy(at, digits + whole, size_t(kept - whole));
            at += kept - whole;
        }
        return at;
    }
    int32_t zeros = -exponent - 1;
    memcpy(at, "0.0000", size_t(2 + zeros));
    at += 2 + zeros;
    memcpy(at, digits, size_t(kept));
    return at + kept;
}
}

char* formatGeneral(char* at, float value)
{
    Binary x;
    uint32_t bits;
    if (!decompose(value, x, bits))
        return putWord(at, bits);
    if (x.negative)
        *at++ = '-';
    if (x.mantissa == 0)
    {
        *at = '0';
        return at + 1;
    }
    int32_t exponent = 0;
    char digits[6];
    sixDigits(digits, sixSignificant(x, exponent));
    int32_t kept = 6;
    while (kept > 1 && digits[kept - 1] == '0')
        kept--;
    if (exponent < -4 || exponent >= 6)
        return putScientific(at, digits, kept, exponent);
    return putPositional(at, digits, kept, exponent);
}

char* formatFixed(char* at, float value)
{
    Binary x;
    uint32_t bits;
    if (!decompose(value, x, bits))
        return putWord(at, bits);
    if (x.negative)
        *at++ = '-';
    // From 2^23 up a float is an integer, and beyond 2^24 too large for the
    // 64-bit path below.
    if (x.exponent >= 0)
    {
        at = putWide(at, U128(x.mantissa) << x.exponent);
        memcpy(at, ".000000", 7);
        return at + 7;
    }
    uint64_t q = roundedMillionths(x.mantissa, x.exponent);
    at = putUnsigned(at, q / 1000000);
    *at++ = '.';
    uint32_t decimals = uint32_t(q % 1000000);
    putPair(putPair(putPair(at, decimals / 10000), decimals / 100 % 100), decimals % 100);
    return at + 6;
}
