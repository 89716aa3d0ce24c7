// The dialog commands' own logic on the platform double: the type list, the
// chosen-files list, the result codes and the bounds of buffer 1.
#include "files/color_picker.h"
#include "files/dialogs.h"
#include "tests/support/platform_double.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace
{
// Buffer 1 of a given size inside a larger array whose tail must stay as it was.
struct Buffer
{
    char bytes[64];
    int32_t size;

    Buffer(const char* text, int32_t size) : size(size)
    {
        memset(bytes, '#', sizeof(bytes));
        memcpy(bytes, text, strlen(text) + 1);
    }
    std::string text() const { return std::string(bytes, strnlen(bytes, sizeof(bytes))); }
    bool tailUntouched() const
    {
        for (size_t at = size_t(size); at < sizeof(bytes); at++)
            if (bytes[at] != '#')
                return false;
        return true;
    }
};
}

TEST(FilesDialog, CleansTheTypeListInBuffer1AndOffersItsExtensions)
{
    PlatformDouble platform;
    std::vector<std::string> files;
    Buffer types(" .OBJ, .ma,,", 32);
    EXPECT_EQ(getFilesDialog(files, "Pick", types.bytes, types.size), 0);
    EXPECT_EQ(types.text(), "OBJ,ma,,");
    EXPECT_EQ(platform.offeredExtensions, (std::vector<std::string>{"OBJ", "ma"}));
    EXPECT_EQ(platform.calls, std::vector<std::string>{"openFilesPanel Pick"});

    // A list without a NUL inside the size is read up to the size, and the
    // cleaned list written back within it.
    Buffer unterminated(".a bcdXY", 6);
    getFilesDialog(files, nullptr, unterminated.bytes, unterminated.size);
    EXPECT_EQ(std::string(unterminated.bytes, 8), std::string("abcd\0dXY", 8));
    EXPECT_EQ(platform.offeredExtensions, std::vector<std::string>{"abcd"});
    EXPECT_EQ(platform.calls.back(), "openFilesPanel (no title)");

    // No readable list: every type.
    getFilesDialog(files, "Pick", nullptr, 32);
    EXPECT_TRUE(platform.offeredExtensions.empty());
    Buffer untouched(".obj", 0);
    getFilesDialog(files, "Pick", untouched.bytes, 0);
    EXPECT_TRUE(platform.offeredExtensions.empty());
    EXPECT_EQ(untouched.text(), ".obj");
    Buffer onlyDots(". , .", 8);
    getFilesDialog(files, "Pick", onlyDots.bytes, onlyDots.size);
    EXPECT_EQ(onlyDots.text(), ",");
    EXPECT_TRUE(platform.offeredExtensions.empty());
}

TEST(FilesDialog, OnlyAnAcceptedPanelReplacesTheList)
{
    PlatformDouble platform;
    std::vector<std::string> files;
    platform.openFilesAnswer = true;
    platform.chosenFiles = {"/models/a.obj", "/models/b.obj"};
    EXPECT_EQ(getFilesDialog(files, "Pick", nullptr, 0), 2);

    platform.openFilesAnswer = false;
    platform.chosenFiles = {"/other/c.obj"};
    EXPECT_EQ(getFilesDialog(files, "Pick", nullptr, 0), 0);
    char path[64];
    EXPECT_EQ(getFilePath(files, 1, path, sizeof(path)), 0);
    EXPECT_STREQ(path, "/models/a.obj");

    platform.openFilesAnswer = true;
    EXPECT_EQ(getFilesDialog(files, "Pick", nullptr, 0), 1);
    EXPECT_EQ(getFilePath(files, 2, path, sizeof(path)), -1);
    clearFilesL(files);
    EXPECT_EQ(getFilePath(files, 1, path, sizeof(path)), -1);
}

TEST(FilePath, NumbersOutsideTheListAndShortBuffersAnswerMinusOne)
{
    std::vector<std::string> files = {"/m/first.obj", "/m/second.obj"};
    Buffer path("", 64);
    EXPECT_EQ(getFilePath(files, 2.9, path.bytes, path.size), 0);
    EXPECT_EQ(path.text(), "/m/second.obj");
    for (double number : {0.0, 0.99, -0.5, -1.0, 3.0, 1e30, -1e30, double(NAN)})
    {
        Buffer untouched("keep", 64);
        EXPECT_EQ(getFilePath(files, number, untouched.bytes, untouched.size), -1) << number;
        EXPECT_EQ(untouched.text(), "keep");
    }
    // "/m/first.obj" is 12 bytes: it needs 13 with its NUL.
    Buffer exact("", 13);
    EXPECT_EQ(getFilePath(files, 1, exact.bytes, exact.size), 0);
    EXPECT_EQ(exact.text(), "/m/first.obj");
    Buffer shortBuffer("keep", 12);
    EXPECT_EQ(getFilePath(files, 1, shortBuffer.bytes, shortBuffer.size), -1);
    EXPECT_EQ(shortBuffer.text(), "keep");
    EXPECT_TRUE(shortBuffer.tailUntouched());
    EXPECT_EQ(getFilePath(files, 1, nullptr, 64), -1);
    EXPECT_EQ(getFilePath(files, 1, shortBuffer.bytes, -5), -1);
}

TEST(FilePath, SymbolicLinksAreResolvedWhenFetched)
{
    namespace fs = std::filesystem;
    fs::path root = fs::canonical(fs::temp_directory_path()) / ("tesmar-dialogs-" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "real");
    std::ofstream(root / "real" / "mesh.obj") << "v";
    fs::create_symlink(root / "real", root / "linked");
    std::vector<std::string> files = {(root / "linked" / "mesh.obj").string(), (root / "gone.obj").string()};
    char path[512];
    EXPECT_EQ(getFilePath(files, 1, path, sizeof(path)), 0);
    EXPECT_EQ(std::string(path), (root / "real" / "mesh.obj").string());
    EXPECT_EQ(getFilePath(files, 2, path, sizeof(path)), 0);
    EXPECT_EQ(std::string(path), (root / "gone.obj").string());
    fs::remove_all(root);
}

TEST(ChooseFolder, ResultsAndBuffer1)
{
    PlatformDouble platform;
    EXPECT_EQ(chooseFolder(nullptr, 64), -2);
    Buffer folder("keep", 0);
    EXPECT_EQ(chooseFolder(folder.bytes, 0), -2);
    EXPECT_TRUE(platform.calls.empty()) << "no panel without a buffer";

    folder.size = 10;
    EXPECT_EQ(chooseFolder(folder.bytes, folder.size), -1);
    EXPECT_EQ(folder.text(), "keep");
    EXPECT_EQ(platform.calls, std::vector<std::string>{"chooseFolderPanel Select Folder"});

    platform.chooseFolderAnswer = true;
    platform.chosenFolder = "/work/out";
    EXPECT_EQ(chooseFolder(folder.bytes, folder.size), 0);
    EXPECT_EQ(folder.text(), "/work/out");
    platform.chosenFolder = "/work/out2";
    EXPECT_EQ(chooseFolder(folder.bytes, folder.size), -1);
    EXPECT_EQ(folder.text(), "/work/out");
    EXPECT_TRUE(folder.tailUntouched());
    platform.chosenFolder = "";
    EXPECT_EQ(chooseFolder(folder.bytes, folder.size), -1);
}

TEST(ColorPicker, PacksTheChosenColourIntoBuffer1)
{
    PlatformDouble platform;
    Buffer color("65535, 32768, 0", 32);
    platform.colorAnswer = {true, true, {255, 0, 0}};
    EXPECT_EQ(getColorPicker(color.bytes, color.size), 1);
    EXPECT_EQ(color.text(), "16711680");
    EXPECT_EQ(platform.presetColor.red, 255);
    EXPECT_EQ(platform.presetColor.green, 128);
    EXPECT_EQ(platform.presetColor.blue, 0);

    platform.colorAnswer = {true, true, {255, 255, 255}};
    EXPECT_EQ(getColorPicker(color.bytes, color.size), 1);
    EXPECT_EQ(color.text(), "16777215");

    // "16777215" needs 9 bytes with its NUL.
    Buffer exact("0,0,0", 9);
    EXPECT_EQ(getColorPicker(exact.bytes, exact.size), 1);
    EXPECT_EQ(exact.text(), "16777215");
    Buffer tooShort("0,0,0", 8);
    EXPECT_EQ(getColorPicker(tooShort.bytes, tooShort.size), -1);
    EXPECT_EQ(tooShort.text(), "0,0,0");
    EXPECT_TRUE(tooShort.tailUntouched());
}

TEST(ColorPicker, CancelAndUnreadableAnswersLeaveBuffer1)
{
    PlatformDouble platform;
    Buffer color("0, 0, 0", 32);
    EXPECT_EQ(getColorPicker(color.bytes, color.size), -128);
    EXPECT_EQ(color.text(), "0, 0, 0");
    platform.colorAnswer = {true, false, {}};
    EXPECT_EQ(getColorPicker(color.bytes, color.size), 0);
    EXPECT_EQ(color.text(), "0, 0, 0");

    EXPECT_EQ(getColorPicker(nullptr, 32), -1);
    EXPECT_EQ(getColorPicker(color.bytes, 0), -1);
    EXPECT_EQ(platform.calls.size(), 2u) << "no panel without a buffer";
}

TEST(ColorPicker, DefaultColourScalesTo8BitsOrIsBlack)
{
    struct Case
    {
        const char* text;
        RgbColor preset;
    };
    const Case cases[] = {
        {"65535,32768,0", {255, 128, 0}},
        {" 128 ,\t129, 65535 ", {0, 1, 255}},
        {"0, 0, 257", {0, 0, 1}},
        {"", {}},
        {"1, 2", {}},
        {"1, 2, 3, 4", {}},
        {"65536, 0, 0", {}},
        {"99999999999999999999, 0, 0", {}},
        {"-1, 0, 0", {}},
        {"1.5, 0, 0", {}},
        {"1,,3", {}},
        {"{65535, 0, 0}", {}},
    };
    PlatformDouble platform;
    for (const Case& c : cases)
    {
        platform.presetColor = {7, 7, 7};
        Buffer color(c.text, 40);
        getColorPicker(color.bytes, color.size);
        EXPECT_EQ(platform.presetColor.red, c.preset.red) << c.text;
        EXPECT_EQ(platform.presetColor.green, c.preset.green) << c.text;
        EXPECT_EQ(platform.presetColor.blue, c.preset.blue) << c.text;
    }
    // Read no further than buffer 1 size: "65535,0" alone is not a colour.
    platform.presetColor = {7, 7, 7};
    Buffer cut("65535,0,0", 7);
    getColorPicker(cut.bytes, cut.size);
    EXPECT_EQ(platform.presetColor.red, 0);
}

TEST(HostTexts, EveryDamagedTypeListAndDefaultColourIsHandled)
{
    for (const std::string sample : {" .OBJ, .ma,psd", "65535, 32768, 0"})
        for (size_t at = 0; at <= sample.size(); at++)
            for (int change = 0; change < 4; change++)
            {
                // A cut, or a byte replaced by its complement, a comma or a digit.
                std::string text = sample.substr(0, at);
                if (change > 0 && at < sample.size())
                    text = sample.substr(0, at) + "\xff,9"[change - 1] + sample.substr(at + 1);
                for (const std::string& extension : splitTypeList(cleanTypeList(text)))
                {
                    EXPECT_FALSE(extension.empty()) << text;
                    EXPECT_EQ(extension.find_first_of(",. \t"), std::string::npos) << text;
                }
                RgbColor color = {7, 7, 7};
                if (!readDefaultColor(text, color))
                    EXPECT_TRUE(color.red == 7 && color.green == 7 && color.blue == 7) << text;
                else
                    EXPECT_EQ(text.find_first_not_of("0123456789, "), std::string::npos) << text;
            }
}
