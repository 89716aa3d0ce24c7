#include "exportparts/uv_pool.h"
#include "tests/support/text_uv_pool.h"
#include "vyx/vyx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace
{
// A mesh of uvs.size() / 8 faces; the faces listed in triangles are
// triangles. The corners' vertices are drawn from vertexCount with the seed
// given, or are all vertex 0.
Vyx_Mesh meshWithUVs(const std::vector<float>& uvs, const std::vector<size_t>& triangles = {},
                     uint32_t vertexCount = 1, uint32_t seed = 0)
{
    Vyx_Mesh mesh;
    mesh.faceCount = int32_t(uvs.size() / 8);
    mesh.faces.reset(newLargeArray<int32_t>(4 * uvs.size() / 8));
    std::mt19937 random(seed);
    for (size_t i = 0; i < 4 * uvs.size() / 8; i++)
        mesh.faces[i] = int32_t(random() % vertexCount);
    for (size_t f : triangles)
        mesh.faces[4 * f + 3] = -1;
    mesh.faceUVs.reset(newLargeArray<uint32_t>(uvs.size()));
    std::transform(uvs.begin(), uvs.end(), mesh.faceUVs.get(), [](float uv) { return std::bit_cast<uint32_t>(uv); });
    return mesh;
}

std::vector<uint32_t> pooledIndices(Vyx_Mesh& mesh, CornerOrder order, std::vector<float>& values)
{
    PooledUVs pooled = poolCornerUVs(mesh, order);
    values.assign(pooled.values.begin(), pooled.values.end());
    return std::vector<uint32_t>(pooled.indices.get(), pooled.indices.get() + pooled.corners);
}

// Both orders, the fast pooling against the text-keyed one, with the
// corners on one vertex, on a few, and on many whose recent entries collide.
void expectSamePools(const std::vector<float>& uvs, const std::vector<size_t>& triangles)
{
    for (uint32_t vertexCount : {1u, 7u, 100000u})
        for (CornerOrder order : {CornerOrder::Stored, CornerOrder::Reversed})
        {
            Vyx_Mesh mesh = meshWithUVs(uvs, triangles, vertexCount, vertexCount);
            std::vector<float> textValues, values;
            std::vector<uint32_t> textIndices;
            poolCornerUVsByText(mesh, order, textValues, textIndices);
            EXPECT_EQ(pooledIndices(mesh, order, values), textIndices);
            ASSERT_EQ(values.size(), textValues.size());
            // Bit for bit: -0 and 0 are different texts.
            EXPECT_EQ(memcmp(values.data(), textValues.data(), values.size() * sizeof(float)), 0);
        }
}
}

TEST(UVPool, SharesExactlyWhenSixDecimalTextsAreEqual)
{
    // One quad: corners 0 and 1 print alike, corner 2 is -0 and corner 3 is +0.
    Vyx_Mesh mesh = meshWithUVs({0.2500001f, 1.0f, 0.2500004f, 1.0f, -0.0f, 0.5f, 0.0f, 0.5f});
    std::vector<float> values;
    EXPECT_EQ(pooledIndices(mesh, CornerOrder::Stored, values), (std::vector<uint32_t>{0, 0, 1, 2}));
    EXPECT_EQ(values.size(), 6u);
    EXPECT_TRUE(std::signbit(values[2]));
}

TEST(UVPool, CornerOrders)
{
    // A quad, then a triangle whose unused fourth pair differs from the rest.
    const std::vector<float> uvs = {0, 0, 1, 0, 1, 1, 0, 1, 0, 0, 1, 1, 0, 1, 9, 9};
    const struct
    {
        CornerOrder order;
        std::vector<uint32_t> indices;
        size_t pairs;
    } cases[] = {
        {CornerOrder::Stored, {0, 1, 2, 3, 0, 2, 3, 4}, 5},
        {CornerOrder::Reversed, {0, 1, 2, 3, 0, 1, 3}, 4},
    };
    for (const auto& c : cases)
    {
        Vyx_Mesh mesh = meshWithUVs(uvs, {1});
        std::vector<float> values;
        EXPECT_EQ(pooledIndices(mesh, c.order, values), c.indices);
        EXPECT_EQ(values.size(), 2 * c.pairs);
    }
}

TEST(UVPool, FastKeysAgreeWithTextKeysOnAdversarialValues)
{
    const float nasty[] = {0.0f, -0.0f, 0.0078125f, -0.0078125f, 0.0000005f, -0.0000005f, 0.0000004f, -0.0000004f,
                           1e-7f, -1e-7f, 0.0000015f, 0.0000025f, 2.5e-7f, 999999.5f, 1e12f, -1e12f, 9.99e11f,
                           8589934592.0f, 8589933568.0f, 1e13f, 3e38f, -3e38f, std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(), std::nanf(""), -std::nanf(""),
                           std::numeric_limits<float>::denorm_min(), 0.1f, 0.3f, 1.0f / 3, 0.2500001f, 0.2500004f};
    std::vector<float> uvs;
    for (float u : nasty)
        for (float v : nasty)
        {
            uvs.push_back(u);
            uvs.push_back(v);
        }
    uvs.resize(uvs.size() / 8 * 8);
    expectSamePools(uvs, {0, 3, 7});
}

TEST(UVPool, FastKeysAgreeWithTextKeysOnRandomBits)
{
    std::mt19937 random(7);
    std::vector<float> uvs(8 * 20000);
    std::vector<size_t> triangles;
    for (size_t i = 0; i < uvs.size(); i++)
    {
        uint32_t bits = random();
        // Mostly values near each other, so that many corners share.
        if (i % 3 == 0)
            memcpy(&uvs[i], &bits, sizeof(float));
        else
            uvs[i] = float(bits % 4096) / 4096.0f * ((bits & 0x80000000u) ? -1.0f : 1.0f);
        if (i % 56 == 0)
            triangles.push_back(i / 8);
    }
    expectSamePools(uvs, triangles);
}
