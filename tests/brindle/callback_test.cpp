#include "brindle/brindle.h"
#include "tests/support/recording_host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace
{
int g_calls = 0;
const char* g_text = nullptr;

void storedFunction(const char* text, char*, int32_t, char*, int32_t, HostContext*)
{
    g_calls++;
    g_text = text;
}
}

TEST(ExecuteCallback, CallsTheAddressStoredInsideBufferOne)
{
    alignas(8) char buffer[32] = {};
    auto function = &storedFunction;
    // The address is stored at offsets 0 to 8 of a 16-byte buffer in turn.
    for (int offset = 0; offset <= 8; offset++)
    {
        memset(buffer, 0, sizeof(buffer));
        memcpy(buffer + offset, &function, sizeof(function));
        g_calls = 0;
        EXPECT_EQ(executeCallback("hi", offset, buffer, 16, nullptr, 0, nullptr), 0) << offset;
        EXPECT_EQ(g_calls, 1);
        EXPECT_STREQ(g_text, "hi");
    }
    g_calls = 0;
    EXPECT_EQ(executeCallback("hi", 8.5, buffer, 16, nullptr, 0, nullptr), -1);
    EXPECT_EQ(executeCallback("hi", 9, buffer, 16, nullptr, 0, nullptr), -1);
    EXPECT_EQ(executeCallback("hi", 2.5, buffer, 10, nullptr, 0, nullptr), -1);
    EXPECT_EQ(executeCallback("hi", -1, buffer, 16, nullptr, 0, nullptr), -1);
    EXPECT_EQ(executeCallback("hi", NAN, buffer, 16, nullptr, 0, nullptr), -1);
    EXPECT_EQ(executeCallback("hi", 0, nullptr, 16, nullptr, 0, nullptr), -1);
    memset(buffer, 0, sizeof(buffer));
    EXPECT_EQ(executeCallback("hi", 0, buffer, 16, nullptr, 0, nullptr), -1); // no address stored
    EXPECT_EQ(g_calls, 0);
}

TEST(Buttons, RenameAndIconCountTheLowestByte)
{
    RecordingHost host;
    char name[] = "Old";
    EXPECT_EQ(renameButton("", name, &host.context), 0); // an empty new name reaches the host
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].buffer1, "Old");
    EXPECT_EQ(host.requests[0].number, 0);

    answerRenameWithRegister(host, 0x100); // only the upper bits set: false
    EXPECT_EQ(renameButton("New", name, &host.context), -1);
    answerRenameWithRegister(host, 0xFFFFFF02);
    EXPECT_EQ(renameButton("New", name, &host.context), 0);

    host.scripted.failIcon = true;
    EXPECT_EQ(changeButtonIcon("icon", 3.7, name, &host.context), -1);
    EXPECT_EQ(host.requests.back().entry, 17);
    EXPECT_EQ(host.requests.back().number, 3);

    size_t calls = host.requests.size();
    char empty[] = "";
    EXPECT_EQ(renameButton(nullptr, name, &host.context), -1);
    EXPECT_EQ(renameButton("New", nullptr, &host.context), -1);
    EXPECT_EQ(renameButton("New", empty, &host.context), -1);
    EXPECT_EQ(changeButtonIcon("New", 1, empty, &host.context), -1);
    EXPECT_EQ(renameButton("New", name, nullptr), -1);
    EXPECT_EQ(host.requests.size(), calls);
}

TEST(Buttons, NextNameAndSubTools)
{
    RecordingHost host;
    EXPECT_EQ(renameSetNext("", &host.context), -1);
    EXPECT_EQ(renameSetNext("Next", &host.context), 0);
    host.scripted.subToolCount = 42;
    EXPECT_EQ(appendNewSubTool(nullptr, &host.context), 42); // a null text still reaches the host
    ASSERT_EQ(host.requests.size(), 2u);
    EXPECT_EQ(host.requests[0].entry, 2);
    EXPECT_FALSE(host.requests[1].text);
    EXPECT_EQ(appendNewSubTool("x", nullptr), -1);
}

TEST(DropdownGetSize, SelectorZeroCountsElseAsksTheHost)
{
    RecordingHost host;
    std::vector<Dropdown> dropdowns;
    DropdownFreeMarks free;
    int32_t current = -1;
    EXPECT_EQ(dropdownGetSize(nullptr, "t", 0.5, nullptr, 0, nullptr, 0, &host.context), 0);
    dropdownNew(dropdowns, free, current);
    dropdownAdd(currentDropdown(dropdowns, current), "a");
    EXPECT_EQ(dropdownGetSize(currentDropdown(dropdowns, current), "t", 0, nullptr, 0, nullptr, 0, &host.context), 1);
    EXPECT_TRUE(host.requests.empty());

    host.scripted.sizeAnswer = 12.5f;
    char b1[4] = {}, b2[4] = {};
    EXPECT_EQ(dropdownGetSize(nullptr, "t", -2.5, b1, 4, b2, 3, &host.context), 12.5f);
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].number, -2);
    EXPECT_EQ(host.requests[0].value, -2.5);
    EXPECT_EQ(host.requests[0].buffer1Size, 4);
    EXPECT_EQ(host.requests[0].buffer2Size, 3);
}
