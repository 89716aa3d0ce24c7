#include "collada.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace
{
void expectSamePools(const std::vector<float>& uvs)
{
    UVPool fast, text;
    poolUVPairs(uvs.data(), uvs.size() / 2, fast);
    poolUVPairsByText(uvs.data(), uvs.size() / 2, text);
    EXPECT_EQ(fast.indices, text.indices);
    ASSERT_EQ(fast.values.size(), text.values.size());
    EXPECT_EQ(memcmp(fast.values.data(), text.values.data(), fast.values.size() * sizeof(float)), 0);
}
}

TEST(UVPool, SharesExactlyWhenSixDecimalTextsAreEqual)
{
    // One quad: corners 0 and 1 print alike, corner 2 is -0 and corner 3 is +0.
    const float uvs[8] = {0.2500001f, 1.0f, 0.2500004f, 1.0f, -0.0f, 0.5f, 0.0f, 0.5f};
    UVPool pool;
    poolUVPairs(uvs, 4, pool);
    EXPECT_EQ(pool.indices, (std::vector<uint32_t>{0, 0, 1, 2}));
    EXPECT_EQ(pool.values.size(), 6u);
    EXPECT_TRUE(std::signbit(pool.values[2]));
}

TEST(UVPool, FastKeysAgreeWithTextKeysOnAdversarialValues)
{
    const float nasty[] = {0.0f, -0.0f, 0.0078125f, -0.0078125f, 0.0000005f, -0.0000005f, 0.0000004f, -0.0000004f,
                           1e-7f, -1e-7f, 0.0000015f, 0.0000025f, 2.5e-7f, 999999.5f, 1e12f, -1e12f, 9.99e11f,
                           1e13f, 3e38f, -3e38f, std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(), std::nanf(""), -std::nanf(""),
                           std::numeric_limits<float>::denorm_min(), 0.1f, 0.3f, 1.0f / 3, 0.2500001f, 0.2500004f};
    std::vector<float> uvs;
    for (float u : nasty)
        for (float v : nasty)
        {
            uvs.push_back(u);
            uvs.push_back(v);
        }
    expectSamePools(uvs);
}

TEST(UVPool, FastKeysAgreeWithTextKeysOnRandomBits)
{
    std::mt19937 random(7);
    std::vector<float> uvs(8 * 20000);
    for (size_t i = 0; i < uvs.size(); i++)
    {
        uint32_t bits = random();
        // Mostly values near each other, so that many corners share.
        if (i % 3 == 0)
            memcpy(&uvs[i], &bits, sizeof(float));
        else
            uvs[i] = float(bits % 4096) / 4096.0f * ((bits & 0x80000000u) ? -1.0f : 1.0f);
    }
    expectSamePools(uvs);
}
