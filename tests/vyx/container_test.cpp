#include "tests/support/temp_folder.h"
#include "vyx/vyx.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

struct VyxContainer : testing::Test
{
    TempFolder folder;

    // Opens bytes as a Vyx file; the test fails when it does not open.
    FILE* open(const Bytes& bytes)
    {
        FILE* file = openVyxFile4Read(folder.file("block.vyx", bytes).c_str());
        EXPECT_NE(file, nullptr);
        return file;
    }
};

Bytes header(const char magic[4], size_t length = 32)
{
    Bytes bytes = vyxFileHeader(magic);
    bytes.resize(length);
    return bytes;
}

TEST_F(VyxContainer, OpensOnlyVyxFilesOfAtLeast32Bytes)
{
    for (const char* magic : {"Vyxb", "VYXB", "vyxb", "V\0xx"})
    {
        FILE* file = openVyxFile4Read(folder.file("ok.vyx", header(magic)).c_str());
        ASSERT_NE(file, nullptr) << magic;
        Vyx_Header block;
        EXPECT_FALSE(readVyxBlocHeader(file, block));
        closeVyxFile(file);
    }
    EXPECT_EQ(openVyxFile4Read(folder.file("short.vyx", header("Vyxb", 31)).c_str()), nullptr);
    EXPECT_EQ(openVyxFile4Read(folder.file("wrong.vyx", header("Vyxc")).c_str()), nullptr);
    EXPECT_EQ(openVyxFile4Read((folder.path / "missing.vyx").c_str()), nullptr);
    EXPECT_EQ(openVyxFile4Read(nullptr), nullptr);
}

// One block of the given header and payload, then an end marker.
struct BlockCase
{
    int32_t tag, size, count;
    size_t payload;       // bytes of payload actually written
    uint32_t bytesRead;   // what vyxBlocDataSize answers
    long positionAfter;   // stream position after readVyxBlocData
};

TEST_F(VyxContainer, ReadsOrSkipsByTagAndLeavesTheStreamAtTheNextBlock)
{
    const BlockCase cases[] = {
        {10001, 40, 2, 24, 24, 32 + 40},  // data fills the payload
        {10001, 56, 2, 40, 24, 32 + 56},  // the rest of the payload is skipped
        {1, 16, 0, 0, 0, 32 + 16},        // an empty whole-payload block
        {77, 100, 3, 84, 0, 32 + 100},    // unknown tags read nothing
        {5001, 20, 0, 4, 4, 32 + 20},     // four bytes whatever the count
        {10001, 28, 2, 40, 24, 32 + 40},  // a count beyond the payload reads past the block
    };
    for (const BlockCase& c : cases)
    {
        Bytes bytes = vyxFileHeader();
        appendVyxHeader(bytes, c.tag, c.size, c.count);
        for (size_t i = 0; i < c.payload; i++)
            bytes.push_back(uint8_t(i + 1));
        appendVyxEnd(bytes);
        FILE* file = open(bytes);
        Vyx_Header block;
        ASSERT_TRUE(readVyxBlocHeader(file, block));
        EXPECT_EQ(block.tag, c.tag);
        uint32_t bytesRead = 99;
        EXPECT_TRUE(vyxBlocDataSize(block, bytesRead));
        EXPECT_EQ(bytesRead, c.bytesRead) << c.tag;
        uint8_t buffer[64] = {};
        ASSERT_TRUE(readVyxBlocData(file, block, buffer, sizeof buffer)) << c.tag;
        EXPECT_EQ(ftell(file), c.positionAfter) << c.tag;
        if (c.bytesRead > 0)
        {
            EXPECT_EQ(buffer[c.bytesRead - 1], uint8_t(c.bytesRead));
        }
        EXPECT_EQ(buffer[c.bytesRead], 0);
        closeVyxFile(file);

        file = open(bytes);
        ASSERT_TRUE(readVyxBlocHeader(file, block));
        ASSERT_TRUE(skipVyxBloc(file, block));
        EXPECT_EQ(ftell(file), 32 + c.size) << "skipping ignores the count";
        closeVyxFile(file);

        file = open(bytes);
        ASSERT_TRUE(readVyxBlocHeader(file, block));
        ASSERT_TRUE(skipVyxBlocData(file, block));
        EXPECT_EQ(ftell(file), c.positionAfter) << "passing over moves as reading does";
        closeVyxFile(file);
    }
}

TEST_F(VyxContainer, RefusesOverflowingCountsAndSmallBuffers)
{
    uint32_t bytes = 0;
    EXPECT_FALSE(vyxBlocDataSize({25001, 16, INT32_MAX / 32 + 1, 0}, bytes));
    EXPECT_TRUE(vyxBlocDataSize({25001, 16, INT32_MAX / 32, 0}, bytes));
    EXPECT_TRUE(vyxBlocDataSize({40002, 16, INT32_MAX, 0}, bytes));

    Bytes file = vyxFileHeader();
    appendVyxHeader(file, 10001, 40, 2);
    file.resize(file.size() + 24);
    FILE* stream = open(file);
    Vyx_Header block;
    ASSERT_TRUE(readVyxBlocHeader(stream, block));
    uint8_t small[23];
    EXPECT_FALSE(readVyxBlocData(stream, block, small, sizeof small));
    EXPECT_EQ(ftell(stream), 48) << "a buffer too small reads nothing";
    EXPECT_FALSE(skipVyxBloc(stream, {1, 0, 0, 0})) << "a size below 16 would move backwards";
    closeVyxFile(stream);
}

TEST_F(VyxContainer, CheckRefusesBlocksThatReachPastTheFile)
{
    struct
    {
        int32_t tag, size, count;
        bool fits;
    } cases[] = {
        {10001, 40, 2, true},   // 24 bytes of payload, 24 in the file
        {10001, 41, 2, false},  // payload one byte longer than the file
        {10001, 40, 3, false},  // data (36 bytes) longer than the file
        {1, 16 + 24, 0, true},
        {77, 16 + 25, 0, false},
        {5001, 16, 0, true},
    };
    for (const auto& c : cases)
    {
        Bytes bytes = vyxFileHeader();
        appendVyxHeader(bytes, c.tag, c.size, c.count);
        bytes.resize(bytes.size() + 24);
        FILE* file = open(bytes);
        Vyx_Header block;
        ASSERT_TRUE(readVyxBlocHeader(file, block));
        uint32_t dataBytes = 0;
        EXPECT_EQ(checkVyxBloc(file, block, dataBytes), c.fits) << c.tag << " " << c.size << " " << c.count;
        closeVyxFile(file);
    }
}

} // namespace
