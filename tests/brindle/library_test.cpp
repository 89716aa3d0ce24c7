// The built libraries, loaded with dlopen and called through the command
// convention, as the host application calls them.
#include "tests/support/library.h"
#include "tests/support/recording_host.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
struct Caller
{
    const LoadedLibrary& library;
    HostContext* host;

    float operator()(const char* name, const char* text = nullptr, double value = 0, char* buffer1 = nullptr,
                     int32_t buffer1Size = 0) const
    {
        HostCommandEntry command = library.command(name);
        if (!command)
        {
            ADD_FAILURE() << "no command " << name;
            return -99;
        }
        return command(text, value, buffer1, buffer1Size, nullptr, 0, host);
    }
};

class BothLibraries : public testing::TestWithParam<const char*>
{
};
}

TEST_P(BothLibraries, DropdownSessionThroughTheHost)
{
    LoadedLibrary library(libraryPath(GetParam()));
    ASSERT_TRUE(library.handle);
    RecordingHost host;
    Caller call{library, &host.context};

    float slot = call("DropdownNew");
    ASSERT_GE(slot, 0);
    EXPECT_EQ(call("DropdownAdd", "Sphere"), 0);
    EXPECT_EQ(call("DropdownAdd", "Cube"), 1);
    EXPECT_EQ(call("DropdownInsert", "Cone", 0), 0);
    EXPECT_EQ(call("DropdownFind", "CUBE"), 2);
    char buffer[4];
    EXPECT_EQ(call("DropdownGet", nullptr, 1.9, buffer, 4), 0);
    EXPECT_STREQ(buffer, "Sph");

    host.scripted.choose = 2;
    EXPECT_EQ(call("DropdownShow", "Shape"), 2);
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].items, (std::vector<std::string>{"Cone", "Sphere", "Cube"}));
    EXPECT_EQ(call("DropdownGetSelected"), 2);

    EXPECT_EQ(call("DropdownDelete"), 0);
    EXPECT_EQ(call("DropdownGetCount"), 0);
    EXPECT_EQ(call("DropdownNew"), slot); // the freed slot is handed out again
}

TEST_P(BothLibraries, HostCommandsAndTexts)
{
    LoadedLibrary library(libraryPath(GetParam()));
    ASSERT_TRUE(library.handle);
    RecordingHost host;
    Caller call{library, &host.context};

    char name[] = "Old";
    answerRenameWithRegister(host, 0x200);
    EXPECT_EQ(call("RenameButton", "New", 0, name, 4), -1);
    EXPECT_EQ(call("RenameSetNext", "Next"), 0);
    host.scripted.subToolCount = 5;
    EXPECT_EQ(call("AppendNewSubTool", "Tool"), 5);
    host.scripted.language = 3;
    EXPECT_EQ(call("GetCurrentLanguage"), 3);

    char text[6];
    host.scripted.strings[-1]["key.info"] = "Hello World";
    EXPECT_EQ(call("GetLocalizedInfo", "key", 0, text, 6), 0);
    EXPECT_STREQ(text, "Hello");
    char edit[32] = "%ARG1% and %ARG2%";
    EXPECT_EQ(call("StrReplaceArg", "one", 1, edit, 32), 0);
    EXPECT_STREQ(edit, "one and %ARG2%");

    std::vector<int> entries;
    for (const HostRequest& c : host.requests)
        entries.push_back(c.entry);
    EXPECT_EQ(entries, (std::vector<int>{0, 2, 3, 4, 8}));
}

TEST_P(BothLibraries, NullHostIsRefusedWithoutACrash)
{
    LoadedLibrary library(libraryPath(GetParam()));
    ASSERT_TRUE(library.handle);
    Caller call{library, nullptr};
    char name[] = "Old";
    char text[8];
    EXPECT_EQ(call("RenameButton", "New", 0, name, 4), -1);
    EXPECT_EQ(call("RenameSetNext", "Next"), -1);
    EXPECT_EQ(call("AppendNewSubTool", "Tool"), -1);
    EXPECT_EQ(call("GetCurrentLanguage"), -1);
    EXPECT_EQ(call("RegisterLocalizationFile", "file"), -1);
    EXPECT_EQ(call("GetLocalizedText", "key", 0, text, 8), -1);

    HostContext noTable{};
    Caller callNoTable{library, &noTable};
    EXPECT_GE(callNoTable("DropdownNew"), 0);
    EXPECT_EQ(callNoTable("DropdownAdd", "a"), 0);
    EXPECT_EQ(callNoTable("DropdownAdd", "b"), 1);
    EXPECT_EQ(callNoTable("DropdownShow", "Pick"), -1);
    EXPECT_EQ(callNoTable("DropdownDelete"), 0);
}

#if defined(_WIN32)
INSTANTIATE_TEST_SUITE_P(Libraries, BothLibraries, testing::Values("Brindle"));
#else
INSTANTIATE_TEST_SUITE_P(Libraries, BothLibraries, testing::Values("Brindle", "TesmarLauncherDLL"));


TEST(Libraries, EachKeepsItsOwnDropdownTable)
{
    LoadedLibrary brindle(libraryPath("Brindle"));
    LoadedLibrary launcher(libraryPath("TesmarLauncherDLL"));
    ASSERT_TRUE(brindle.handle && launcher.handle);
    Caller inBrindle{brindle, nullptr};
    Caller inLauncher{launcher, nullptr};

    ASSERT_GE(inBrindle("DropdownNew"), 0);
    EXPECT_EQ(inBrindle("DropdownAdd", "only in Brindle"), 0);
    EXPECT_EQ(inLauncher("DropdownGetCount"), 0); // nothing current there
    EXPECT_EQ(inLauncher("DropdownFind", "only in Brindle"), -1);

    ASSERT_GE(inLauncher("DropdownNew"), 0);
    EXPECT_EQ(inLauncher("DropdownAdd", "a"), 0);
    EXPECT_EQ(inLauncher("DropdownAdd", "b"), 1);
    EXPECT_EQ(inBrindle("DropdownGetCount"), 1);
    EXPECT_EQ(inLauncher("DropdownGetCount"), 2);
}

TEST(Libraries, BrindleOnlyCommands)
{
    LoadedLibrary library(libraryPath("Brindle"));
    ASSERT_TRUE(library.handle);
    RecordingHost host;
    host.scripted.sizeAnswer = 3.25f;
    HostCommandEntry getSize = library.command("DropdownGetSize");
    ASSERT_TRUE(getSize);
    EXPECT_EQ(getSize("t", 4, nullptr, 0, nullptr, 0, &host.context), 3.25f);
    EXPECT_EQ(host.requests.at(0).number, 4);

    char name[] = "Button";
    HostCommandEntry icon = library.command("ChangeButtonIcon");
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon("icon.png", 3.7, name, 7, nullptr, 0, &host.context), 0);
    EXPECT_EQ(host.requests.at(1).number, 3);

    auto* dropdowns = static_cast<std::vector<char>*>(library.symbol("g_dropdowns"));
    auto* current = static_cast<int32_t*>(library.symbol("g_currentDropdown"));
    ASSERT_TRUE(dropdowns && current);
    float made = library.command("DropdownNew")(nullptr, 0, nullptr, 0, nullptr, 0, nullptr);
    EXPECT_EQ(*current, int32_t(made)); // the exported index is the library's own
    // Each exported element is the 32-bit selection, then the item list.
    library.command("DropdownNew")(nullptr, 0, nullptr, 0, nullptr, 0, nullptr);
    library.command("DropdownSelect")(nullptr, 0, nullptr, 0, nullptr, 0, nullptr);
    const size_t element = 8 + sizeof(std::vector<std::string>);
    ASSERT_EQ(dropdowns->size(), 2 * element);
    int32_t selected = -1;
    memcpy(&selected, dropdowns->data() + element, sizeof selected);
    EXPECT_EQ(selected, 0);
}
#endif
