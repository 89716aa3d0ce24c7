#include "brindle/brindle.h"
#include "tests/support/recording_host.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

namespace
{
struct Table
{
    std::vector<Dropdown> dropdowns;
    DropdownFreeMarks free;
    int32_t current = -1;

    Dropdown* dropdown() { return currentDropdown(dropdowns, current); }
    uint8_t* mark() { return currentFreeMark(free, current); }
    void fill(std::initializer_list<const char*> items)
    {
        for (const char* item : items)
            ASSERT_GE(dropdownAdd(dropdown(), item), 0);
    }
};
}

TEST(Dropdown, NothingCurrent)
{
    Table t;
    EXPECT_EQ(dropdownGetCount(t.dropdown()), 0);
    EXPECT_EQ(dropdownGetSelected(t.dropdown()), -1);
    char buffer[8] = "x";
    EXPECT_EQ(dropdownGet(t.dropdown(), 0, buffer, 8), -1);
    EXPECT_EQ(dropdownAdd(t.dropdown(), "a"), -1);
    EXPECT_EQ(dropdownClear(t.dropdown(), t.mark()), -1);
    EXPECT_EQ(dropdownDelete(t.dropdowns, t.free, t.current), -1);
    EXPECT_STREQ(buffer, "x");
}

TEST(Dropdown, LowestFreeSlotIsReused)
{
    Table t;
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(dropdownNew(t.dropdowns, t.free, t.current), i);
    for (double slot : {1.0, 3.0})
    {
        ASSERT_EQ(dropdownLoad(t.dropdowns, t.current, slot), 0);
        ASSERT_EQ(dropdownDelete(t.dropdowns, t.free, t.current), 0);
        EXPECT_EQ(t.current, -1);
    }
    EXPECT_EQ(dropdownNew(t.dropdowns, t.free, t.current), 1);
    EXPECT_EQ(dropdownNew(t.dropdowns, t.free, t.current), 3);
    EXPECT_EQ(dropdownNew(t.dropdowns, t.free, t.current), 5);
}

TEST(Dropdown, LoadTruncatesAfterAddingATenth)
{
    Table t;
    for (int i = 0; i < 4; i++)
        dropdownNew(t.dropdowns, t.free, t.current);
    EXPECT_EQ(dropdownLoad(t.dropdowns, t.current, 2.95), 0);
    EXPECT_EQ(t.current, 3);
    EXPECT_EQ(dropdownLoad(t.dropdowns, t.current, -0.5), 0);
    EXPECT_EQ(t.current, 0);
    EXPECT_EQ(dropdownLoad(t.dropdowns, t.current, 4), -1);
    EXPECT_EQ(dropdownLoad(t.dropdowns, t.current, -1.2), -1);
    EXPECT_EQ(t.current, 0); // a failed load keeps the current dropdown
}

TEST(Dropdown, SelectionFollowsInsertAndRemove)
{
    Table t;
    dropdownNew(t.dropdowns, t.free, t.current);
    t.fill({"a", "b", "c", "d"});
    ASSERT_EQ(dropdownSelect(t.dropdown(), 2, t.mark()), 2);
    EXPECT_EQ(dropdownInsert(t.dropdown(), "z", 0), 0);
    EXPECT_EQ(dropdownGetSelected(t.dropdown()), 3);
    EXPECT_EQ(dropdownInsert(t.dropdown(), "end", 5), 5); // appends; the selection stays
    EXPECT_EQ(dropdownGetSelected(t.dropdown()), 3);
    EXPECT_EQ(dropdownInsert(t.dropdown(), "x", 7), -1);

    // Items are now z a b c d end, with c (3) selected.
    EXPECT_EQ(dropdownRemove(t.dropdown(), 3), 3); // removing the selected item selects the one before
    EXPECT_EQ(dropdownGetSelected(t.dropdown()), 2);
    EXPECT_EQ(dropdownRemove(t.dropdown(), 4), 4); // after the selection: unchanged
    EXPECT_EQ(dropdownGetSelected(t.dropdown()), 2);
    ASSERT_EQ(dropdownSelect(t.dropdown(), 0, t.mark()), 0);
    EXPECT_EQ(dropdownRemove(t.dropdown(), 0), 0); // a selection of 0 stays 0
    EXPECT_EQ(dropdownGetSelected(t.dropdown()), 0);
    EXPECT_EQ(dropdownRemove(t.dropdown(), 3), -1);
    EXPECT_EQ(dropdownGetCount(t.dropdown()), 3);
}

TEST(Dropdown, SelectAcceptsZeroOnAnEmptyList)
{
    Table t;
    dropdownNew(t.dropdowns, t.free, t.current);
    EXPECT_EQ(dropdownSelect(t.dropdown(), 0, t.mark()), 0);
    EXPECT_EQ(dropdownGetSelected(t.dropdown()), -1); // nothing to select yet
    EXPECT_EQ(dropdownSelect(t.dropdown(), 1, t.mark()), -1);
    t.fill({"one"});
    EXPECT_EQ(dropdownGetSelected(t.dropdown()), 0);
}

TEST(Dropdown, FindFoldsCaseAndNeedsTheWholeText)
{
    Table t;
    dropdownNew(t.dropdowns, t.free, t.current);
    EXPECT_EQ(dropdownFind(t.dropdown(), "abc"), -1); // empty list
    t.fill({"abcd", "ab", "ABC", "abc"});
    EXPECT_EQ(dropdownFind(t.dropdown(), "abc"), 2);
    EXPECT_EQ(dropdownFind(t.dropdown(), "AbCd"), 0);
    EXPECT_EQ(dropdownFind(t.dropdown(), "a"), -1);
    EXPECT_EQ(dropdownFind(t.dropdown(), ""), -1);
    EXPECT_EQ(dropdownFind(t.dropdown(), nullptr), -1);
}

TEST(Dropdown, SetGetAndRefusals)
{
    Table t;
    dropdownNew(t.dropdowns, t.free, t.current);
    t.fill({"Sphere", "Cube"});
    ASSERT_EQ(dropdownSelect(t.dropdown(), 1, t.mark()), 1);
    EXPECT_EQ(dropdownSet(t.dropdown(), "Cone", 1), 0);
    EXPECT_EQ(dropdownGetSelected(t.dropdown()), 1);
    EXPECT_EQ(dropdownSet(t.dropdown(), "", 1), -1);
    EXPECT_EQ(dropdownSet(t.dropdown(), "X", 2), -1);

    char buffer[16];
    memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(dropdownGet(t.dropdown(), 0, buffer, 4), 0);
    EXPECT_EQ(std::string(buffer, 5), std::string("Sph\0#", 5));
    EXPECT_EQ(dropdownGet(t.dropdown(), 1, buffer, 16), 0);
    EXPECT_STREQ(buffer, "Cone");
    EXPECT_EQ(dropdownGet(t.dropdown(), 2, buffer, 16), -1);
    EXPECT_EQ(dropdownGet(t.dropdown(), 0, buffer, 0), -1);
    EXPECT_EQ(dropdownGet(t.dropdown(), 0, nullptr, 16), -1);
    EXPECT_EQ(dropdownAdd(t.dropdown(), ""), -1);
}

TEST(Dropdown, ItemTableIsOneBlockOfPointersAndTexts)
{
    std::vector<std::string> items = {"ab", "", "cdefghij"};
    std::vector<uint64_t> block = dropdownItemTable(items);
    // 3 pointers, then 3 + 1 + 9 = 13 text bytes rounded up to 2 words.
    ASSERT_EQ(block.size(), 5u);
    char** pointers = reinterpret_cast<char**>(block.data());
    const char* texts = reinterpret_cast<const char*>(block.data() + 3);
    EXPECT_EQ(pointers[0], texts);
    EXPECT_EQ(pointers[1], texts + 3);
    EXPECT_EQ(pointers[2], texts + 4);
    EXPECT_STREQ(pointers[2], "cdefghij");
}

TEST(Dropdown, ShowAsksTheHostAndKeepsItsAnswer)
{
    Table t;
    RecordingHost host;
    dropdownNew(t.dropdowns, t.free, t.current);
    t.fill({"only"});
    EXPECT_EQ(dropdownShow(t.dropdown(), "Pick", &host.context, t.mark()), 0); // one item: the host is not asked
    EXPECT_TRUE(host.requests.empty());

    t.fill({"two"});
    ASSERT_EQ(dropdownSelect(t.dropdown(), 1, t.mark()), 1);
    host.scripted.choose = 7;
    EXPECT_EQ(dropdownShow(t.dropdown(), "Pick", &host.context, t.mark()), 7);
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].text, "Pick");
    EXPECT_EQ(host.requests[0].items, (std::vector<std::string>{"only", "two"}));
    EXPECT_EQ(host.requests[0].number, 1);
    EXPECT_EQ(host.requests[0].a, 16);
    EXPECT_EQ(host.requests[0].b, 80);
    EXPECT_EQ(dropdownGetSelected(t.dropdown()), 7); // kept without a range test

    EXPECT_EQ(dropdownShow(t.dropdown(), "", &host.context, t.mark()), -1);
    EXPECT_EQ(dropdownShow(t.dropdown(), "Pick", nullptr, t.mark()), -1);
    EXPECT_EQ(host.requests.size(), 1u);
}

TEST(Dropdown, NegativeHostAnswerDoesNotFreeTheSlot)
{
    Table t;
    RecordingHost host;
    dropdownNew(t.dropdowns, t.free, t.current);
    t.fill({"a", "b"});
    host.scripted.choose = -1;
    EXPECT_EQ(dropdownShow(t.dropdown(), "Pick", &host.context, t.mark()), -1);
    EXPECT_EQ(dropdownGetSelected(t.dropdown()), -1);
    EXPECT_EQ(dropdownNew(t.dropdowns, t.free, t.current), 1); // slot 0 is still in use
    EXPECT_EQ(t.dropdowns[0].items.size(), 2u);
}

TEST(Dropdown, FreeSlotCanBeLoadedAndKeepsItsItems)
{
    Table t;
    dropdownNew(t.dropdowns, t.free, t.current);
    t.fill({"a"});
    dropdownDelete(t.dropdowns, t.free, t.current);
    EXPECT_TRUE(t.dropdowns[0].items.empty());

    ASSERT_EQ(dropdownLoad(t.dropdowns, t.current, 0), 0);
    t.fill({"kept"});
    EXPECT_EQ(dropdownGetSelected(t.dropdown()), -1);
    EXPECT_EQ(dropdownNew(t.dropdowns, t.free, t.current), 0); // still free: taken again, items and all
    EXPECT_EQ(dropdownGetCount(t.dropdown()), 1);
    EXPECT_EQ(dropdownGetSelected(t.dropdown()), 0);

    // A selection given to a free slot takes it out of the free list.
    dropdownDelete(t.dropdowns, t.free, t.current);
    ASSERT_EQ(dropdownLoad(t.dropdowns, t.current, 0), 0);
    EXPECT_EQ(dropdownClear(t.dropdown(), t.mark()), 0);
    EXPECT_EQ(dropdownNew(t.dropdowns, t.free, t.current), 1);
}

// The exported table is read by element: each is the selection, then the
// items, and nothing else.
TEST(Dropdown, ExportedElementLayout)
{
    EXPECT_EQ(offsetof(Dropdown, selected), 0u);
    EXPECT_EQ(offsetof(Dropdown, items), alignof(std::vector<std::string>));
    EXPECT_EQ(sizeof(Dropdown), offsetof(Dropdown, items) + sizeof(std::vector<std::string>));
}
