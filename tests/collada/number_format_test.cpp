#include "collada.h"

#include <gtest/gtest.h>

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

TEST(NumberFormat, FloatsIntoBuffersMatchPrintfWithinTheirRoom)
{
    std::vector<float> values = {0.0f, -0.0f, std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                                 std::numeric_limits<float>::min(), -std::numeric_limits<float>::denorm_min(),
                                 std::numeric_limits<float>::infinity(), -std::nanf(""), 999999.5f, 0.0078125f};
    std::mt19937 random(20261209);
    for (int i = 0; i < 100000; i++)
    {
        uint32_t bits = random();
        float f;
        memcpy(&f, &bits, sizeof(f));
        values.push_back(f);
    }
    // A text that did not fit its room would come out cut or empty.
    for (float value : values)
    {
        char expected[512];
        char general[kGeneralRoom];
        char fixed[kFixedRoom];
        snprintf(expected, sizeof(expected), "%g", value);
        EXPECT_EQ(std::string(general, formatGeneral(general, value)), expected);
        snprintf(expected, sizeof(expected), "%f", value);
        EXPECT_EQ(std::string(fixed, formatFixed(fixed, value)), expected);
        if (HasFailure())
            return;
    }
    char text[kIntegerRoom];
    EXPECT_EQ(std::string(text, formatInteger(text, INT64_MIN)), "-9223372036854775808");
}
