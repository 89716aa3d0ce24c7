// The document's numbers, exactly as the C library writes them, and the
// texts of indices, formatted in place.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

// Numbers exactly as printf writes them: %g with precision 6 (positions and
// colour channels) and %f (texture coordinates).
void appendGeneral(std::string& out, double value);
void appendFixed(std::string& out, double value);
void appendInteger(std::string& out, int64_t value);
// The same for a float or an index into a buffer with the room given below;
// they answer the end of the text. Lines formatted so go to the stream in one
// piece. The float formatters are exact for every float, NaN and the
// infinities included, and several times faster than a general formatter.
constexpr size_t kGeneralRoom = 16;
constexpr size_t kFixedRoom = 48;
constexpr size_t kIntegerRoom = 20;
char* formatGeneral(char* at, float value);
char* formatFixed(char* at, float value);
// m * 2^e * 10^6 rounded to nearest, ties to even, for m below 2^24 and
// m * 2^e below 2^33: the six decimals of %f as one exact integer. Inline:
// the UV pool makes millions of these keys.
inline uint64_t roundedMillionths(uint32_t mantissa, int32_t exponent)
{
    // value * 10^6 = m * 15625 * 2^(e + 6), m * 15625 below 2^38.
    uint64_t num = uint64_t(mantissa) * 15625;
    int32_t shift = -(exponent + 6);
    if (shift <= 0)
        return num << -shift;
    if (shift >= 40)
        return 0;
    uint64_t q = num >> shift;
    uint64_t rest = num - (q << shift);
    uint64_t half = uint64_t(1) << (shift - 1);
    return q + (rest > half || (rest == half && (q & 1)));
}
char* formatInteger(char* at, int64_t value);
// "00", "01" ... "99": the two digits of each number below 100.
inline constexpr char kDigitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                      "8081828384858687888990919293949596979899";

// The text of an index as std::to_chars writes it, at most ten digits, held
// in the bytes of two words, first digit lowest, so that a text written twice
// is stored twice rather than read back; its pairs of digits are made
// independently of one another, which makes it faster than std::to_chars.
struct IndexText
{
    uint64_t low;
    uint64_t high;
    size_t length;
};
static_assert(std::endian::native == std::endian::little);

inline uint64_t digitPairBytes(uint32_t pair)
{
    uint16_t bytes;
    memcpy(&bytes, kDigitPairs + 2 * pair, 2);
    return bytes;
}

// The eight digits of value < 10^8, leading zeros included, from four
// independent pairs.
inline uint64_t eightDigits(uint32_t value)
{
    uint32_t high = value / 10000;
    uint32_t low = value % 10000;
    return digitPairBytes(high / 100) | digitPairBytes(high % 100) << 16 | digitPairBytes(low / 100) << 32 |
           digitPairBytes(low % 100) << 48;
}

inline IndexText indexText(uint32_t value)
{
    if (value < 10)
        return {uint64_t('0' + value), 0, 1};
    if (value < 100)
        return {digitPairBytes(value), 0, 2};
    if (value < 100000000)
    {
        size_t count = 3 + (value >= 1000) + (value >= 10000) + (value >= 100000) + (value >= 1000000) +
                       (value >= 10000000);
        return {eightDigits(value) >> (8 * (8 - count)), 0, count};
    }
    uint32_t head = value / 100000000; // 1 to 42
    uint64_t tail = eightDigits(value % 100000000);
    if (head < 10)
        return {uint64_t('0' + head) | tail << 8, tail >> 56, 9};
    return {digitPairBytes(head) | tail << 16, tail >> 48, 10};
}

// Writes 16 bytes at at; answers the end of the text.
inline char* putIndex(char* at, const IndexText& text)
{
    memcpy(at, &text.low, 8);
    memcpy(at + 8, &text.high, 8);
    return at + text.length;
}
