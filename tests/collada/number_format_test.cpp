#include "exportparts/number_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace
{
void expectSameAsPrintf(double value)
{
    char text[512];
    std::string general, fixed;
    appendGeneral(general, value);
    appendFixed(fixed, value);
    snprintf(text, sizeof(text), "%g", value);
    EXPECT_EQ(general, text) << "%g of " << std::hexfloat << value;
    snprintf(text, sizeof(text), "%f", value);
    EXPECT_EQ(fixed, text) << "%f of " << std::hexfloat << value;
}
}

TEST(NumberFormat, TrickyValuesMatchPrintf)
{
    const double values[] = {0.0, -0.0, 1.0, -1.0, 0.5, 1e-5, 1e-4, 9.99999e-5, 0.0001, 999999.5, 999999.4, 1e6,
                             1e7, 123456789.0, 1.5e6, -12.3456789, 0.1, 0.25, 0.0078125, 0.0000005, 0.0000015,
                             0.0000025, 2.5e-7, 1e300, -1e300, 1e-300, 4.9e-324, 2.2250738585072014e-308,
                             std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                             std::nan(""), -std::nan(""), double(std::numeric_limits<float>::denorm_min()),
                             double(std::numeric_limits<float>::max()), 1.0 / 3, 2.0 / 3, 128.0 / 255, 1.0 / 255};
    for (double value : values)
        expectSameAsPrintf(value);
}

TEST(NumberFormat, RandomFloatsAndDoublesMatchPrintf)
{
    std::mt19937_64 random(20261208);
    for (int i = 0; i < 200000; i++)
    {
        uint64_t bits = random();
        float f;
        uint32_t low = uint32_t(bits);
        memcpy(&f, &low, sizeof(f));
        expectSameAsPrintf(f);
        // Values in the range meshes use, where rounding ties are frequent.
        expectSameAsPrintf(double(float(int32_t(bits >> 40) % 2000000) / 1024.0f));
        if (i % 8 == 0)
        {
            double d;
            memcpy(&d, &bits, sizeof(d));
            expectSameAsPrintf(d);
        }
        if (HasFailure())
            return;
    }
}

TEST(NumberFormat, Integers)
{
    std::string text;
    appendInteger(text, 0);
    text += ' ';
    appendInteger(text, -2147483648LL);
    text += ' ';
    appendInteger(text, 4294967295LL);
    EXPECT_EQ(text, "0 -2147483648 4294967295");
}

// The float formatters write into buffers of their room, so a text that did
// not fit would come out cut or empty.
static void expectFloatSameAsPrintf(float value, const char* what)
{
    char expected[64];
    char general[kGeneralRoom];
    char fixed[kFixedRoom];
    snprintf(expected, sizeof(expected), "%g", double(value));
    EXPECT_EQ(std::string(general, formatGeneral(general, value)), expected) << what << ", %g of " << std::hexfloat << value;
    snprintf(expected, sizeof(expected), "%f", double(value));
    EXPECT_EQ(std::string(fixed, formatFixed(fixed, value)), expected) << what << ", %f of " << std::hexfloat << value;
}

TEST(NumberFormat, FloatsMatchPrintfOnTrickyValues)
{
    const struct
    {
        float value;
        const char* what;
    } cases[] = {
        {0.0f, "zero"},
        {-0.0f, "negative zero"},
        {-1e-9f, "negative, six decimals of zero"},
        {0x1p-149f, "smallest denormal"},
        {-0x1.8p-140f, "denormal"},
        {0x1.fffffcp-127f, "largest denormal"},
        {0x1p-126f, "smallest normal"},
        {0.0078125f, "%f tie 7812.5 millionths, down to even"},
        {0.0234375f, "%f tie 23437.5 millionths, up to even"},
        {123456.5f, "%g tie at the sixth digit, down to even"},
        {123457.5f, "%g tie at the sixth digit, up to even"},
        {1234565.0f, "%g tie in exponent form"},
        {999999.5f, "%g rounds up to 1e+06"},
        {999999.4375f, "%g stays below 1e+06"},
        {1e6f, "first %g exponent form"},
        {99999.953125f, "%g rounds up into six integer digits"},
        {0.0001f, "%g smallest without exponent"},
        {0.000099999997f, "%g largest with a negative exponent"},
        {0.00000049999999f, "%f just below half a millionth"},
        {0.0000005f, "%f just above half a millionth"},
        {8388607.5f, "%f largest float with a fraction"},
        {16777217.0f, "%f beyond 2^24"},
        {1e13f, "%f beyond 64 bits of millionths"},
        {-123.456789f, "negative"},
        {3.4028235e38f, "largest finite"},
        {-3.4028235e38f, "lowest finite"},
        {std::numeric_limits<float>::infinity(), "infinity"},
        {-std::numeric_limits<float>::infinity(), "negative infinity"},
        {std::nanf(""), "NaN"},
        {-std::nanf(""), "negative NaN"},
    };
    for (const auto& c : cases)
        expectFloatSameAsPrintf(c.value, c.what);
}

TEST(NumberFormat, FloatsMatchPrintfOnAMillionRandomPatterns)
{
    std::mt19937 random(20261209);
    for (int i = 0; i < 1000000 && !HasFailure(); i++)
        expectFloatSameAsPrintf(std::bit_cast<float>(uint32_t(random())), "random pattern");
}

TEST(NumberFormat, IntegersIntoBuffers)
{
    char text[kIntegerRoom];
    EXPECT_EQ(std::string(text, formatInteger(text, INT64_MIN)), "-9223372036854775808");
}

// Every length, its bounds, and random indices, as std::to_chars writes them.
TEST(NumberFormat, IndicesMatchToChars)
{
    std::vector<uint32_t> values = {UINT32_MAX, UINT32_MAX - 1, 4000000000u};
    for (uint32_t power = 1; power <= 1000000000u; power *= 10)
        values.insert(values.end(), {power - 1, power, power + 1, 2 * power - 1, 9 * power});
    std::mt19937 random(20261210);
    for (int i = 0; i < 200000; i++)
        values.push_back(uint32_t(random()) >> (random() % 32));
    for (uint32_t value : values)
    {
        char expected[16];
        char written[16];
        std::string_view text(expected, size_t(std::to_chars(expected, expected + 16, value).ptr - expected));
        ASSERT_EQ(std::string_view(written, size_t(putIndex(written, indexText(value)) - written)), text);
    }
}
