#include "collada/collada.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/expected.h"
#include "exportparts/file_names.h"
#include "tests/support/library.h"
#include "tests/support/temp_folder.h"
#include "tests/support/vyx_writer.h"

#include <gtest/gtest.h>

#include <fstream>

namespace
{
VyxMeshData oneQuad()
{
    VyxMeshData data;
    data.vertices = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    data.faces = {0, 1, 2, 3};
    return data;
}
}

TEST(FileNameExtract, FolderAndStem)
{
    EXPECT_EQ(FileNameExtract("/a/b/c.txt", PathPart::Folder), "/a/b/");
    EXPECT_EQ(FileNameExtract("/a/b/c.txt", PathPart::Stem), "c");
    EXPECT_EQ(FileNameExtract("c.txt", PathPart::Folder), "");
    EXPECT_EQ(FileNameExtract("/a.b/c", PathPart::Stem), "c");
    EXPECT_EQ(FileNameExtract("C:\\x\\scene.v2.dae", PathPart::Folder), "C:\\x\\");
    EXPECT_EQ(FileNameExtract("C:\\x\\scene.v2.dae", PathPart::Stem), "scene.v2");
}

TEST(MeshList, EntriesWithinTheSize)
{
    using E = std::vector<std::string>;
    const char list[] = "/f/\0A\0B_TXTR";
    EXPECT_EQ(splitMeshList(list, sizeof(list)), (E{"/f/", "A", "B_TXTR"}));
    EXPECT_EQ(splitMeshList(list, 6), (E{"/f/", "A"}));
    EXPECT_EQ(splitMeshList(list, 5), (E{"/f/", "A"})); // an entry cut by the size ends there
    EXPECT_EQ(splitMeshList(list, sizeof(list) + 0), (E{"/f/", "A", "B_TXTR"}));
    const char surplus[] = "/f/\0A\0\0";
    EXPECT_EQ(splitMeshList(surplus, sizeof(surplus)), (E{"/f/", "A", "", ""}));
    EXPECT_EQ(splitMeshList(list, 0), E{""});
    EXPECT_EQ(splitMeshList(list, -4), E{""});
    EXPECT_EQ(splitMeshList(nullptr, 10), E{""});
}

TEST(DocumentText, XmlTextNamesAndFileUris)
{
    EXPECT_EQ(xmlText("Body_TXTR x.png"), "Body_TXTR x.png");
    EXPECT_EQ(xmlText("a&b<c>\"d'"), "a&amp;b&lt;c&gt;&quot;d&apos;");

    const std::pair<std::string, std::string> names[] = {
        {"PM3D_Cube3D.1-x", "PM3D_Cube3D.1-x"},
        {"\u00e9t\u00e9 \u65e5\u672c", "\u00e9t\u00e9_\u65e5\u672c"},
        {"a&b<c>\"d'e:f", "a_b_c__d_e_f"},
        {"1st", "_1st"},
        {"-x", "_-x"},
        {"\u00b7x\u0301", "_\u00b7x\u0301"}, // may follow a name's first character only
        {"\x01\t\x7f", "___"},
        {"\u00d7\U0001F600", "__"},      // neither a letter nor a digit
        {"a\xff\xe6\x97" "b", "a__b"}, // bytes of no character, each piece one "_"
        {"", "_"},
    };
    for (const auto& [name, expected] : names)
        EXPECT_EQ(colladaName(name), expected) << name;

    struct Case
    {
        PathStyle style;
        const char* path;
        const char* uri;
    };
    const Case cases[] = {
        {PathStyle::Posix, "/tmp/a-b_c.d~/X9.png", "file:///tmp/a-b_c.d~/X9.png"},
        {PathStyle::Posix, "/home/me/my dir \u00e9/a&b#?%:\\.png",
         "file:///home/me/my%20dir%20%C3%A9/a%26b%23%3F%25%3A%5C.png"},
        {PathStyle::Windows, "C:\\dir\\x y.png", "file:///C:/dir/x%20y.png"},
        {PathStyle::Windows, "z:/a:b/x.png", "file:///z:/a%3Ab/x.png"},
        {PathStyle::Windows, "\\\\server\\share\\x.png", "file://server/share/x.png"},
        {PathStyle::Windows, "\\\\?\\C:\\dir\\x.png", "file:///C:/dir/x.png"},
        {PathStyle::Windows, "\\\\?\\UNC\\server\\share\\x.png", "file://server/share/x.png"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fileUri(c.path, c.style), c.uri) << c.path;
}

TEST(Export, FailuresAndTheirResults)
{
    TempFolder folder;
    std::string list = packList({folder.path.string() + "/", "Quad"});
    ASSERT_TRUE(writeBytes((folder.path / "Quad.Vyx").string(), vyxMeshFile(oneQuad())));

    std::string missingFolder = (folder.path / "no" / "out.dae").string();
    EXPECT_EQ(exportCollada(missingFolder.c_str(), list.data(), int32_t(list.size())), -1);
    EXPECT_FALSE(std::filesystem::exists(missingFolder));
    // A disk that takes nothing: the failure is reported, not a success, and
    // the document the disk did not take is gone.
    std::string refused = (folder.path / "refused.dae").string();
    {
        FileSizeLimit none(0);
        EXPECT_EQ(exportCollada(refused.c_str(), list.data(), int32_t(list.size())), -1);
    }
    EXPECT_FALSE(std::filesystem::exists(refused));
    EXPECT_EQ(exportCollada(nullptr, list.data(), int32_t(list.size())), -1);

    // An output name with nothing before its extension gives the scene "scene".
    std::string hidden = (folder.path / ".dae").string();
    EXPECT_EQ(exportCollada(hidden.c_str(), list.data(), int32_t(list.size())), 0);
    EXPECT_NE(readFile(hidden).find("<visual_scene id=\"scene_scene\" name=\"scene_scene\">"), std::string::npos);
}

TEST(Export, MeshesThatFailTheCheckAreUnreadable)
{
    TempFolder folder;
    VyxMeshData bad = oneQuad();
    bad.faces = {0, 1, 2, 9}; // vertex 9 does not exist
    ASSERT_TRUE(writeBytes((folder.path / "Bad.Vyx").string(), vyxMeshFile(bad)));
    VyxMeshData shortColours = oneQuad();
    shortColours.vertexColors = {1, 2};
    ASSERT_TRUE(writeBytes((folder.path / "Short.Vyx").string(), vyxMeshFile(shortColours)));
    std::string output = (folder.path / "out.dae").string();
    for (const char* name : {"Bad", "Short"})
    {
        std::string list = packList({folder.path.string() + "/", name});
        EXPECT_EQ(exportCollada(output.c_str(), list.data(), int32_t(list.size())), -2) << name;
        std::string document = readFile(output);
        EXPECT_NE(document.find("***Can't read Vyx file!***"), std::string::npos);
    }
}

TEST(Export, TriangleBlocksBecomeFourIndexFaces)
{
    TempFolder folder;
    VyxMeshData data;
    data.vertices = {0, 0, 0, 1, 0, 0, 1, 1, 0};
    data.faces = {0, 1, 2};
    data.faceTag = 20003;
    data.faceUVs = {0, 0, 1, 0, 1, 1};
    data.uvTag = 25002;
    ASSERT_TRUE(writeBytes((folder.path / "Tri.Vyx").string(), vyxMeshFile(data)));
    std::string list = packList({folder.path.string() + "/", "Tri"});
    std::string output = (folder.path / "out.dae").string();
    ASSERT_EQ(exportCollada(output.c_str(), list.data(), int32_t(list.size())), 0);
    std::string document = readFile(output);
    EXPECT_NE(document.find("<vcount>3 </vcount>"), std::string::npos);
    EXPECT_NE(document.find("<p>0 0 1 1 2 2 </p>"), std::string::npos);
    // The fourth pair of the converted face is zero and pooled with the first.
    EXPECT_NE(document.find("count=\"6\">\n0.000000 0.000000\n1.000000 0.000000\n1.000000 1.000000\n</float_array>"),
              std::string::npos);
}

TEST(Export, ThroughTheLibrary)
{
    TempFolder folder;
    ASSERT_TRUE(writeBytes((folder.path / "Quad.Vyx").string(), vyxMeshFile(oneQuad())));
    LoadedLibrary library(libraryPath("TesmarLauncherDLL"));
    HostCommandEntry command = library.command("doExportCollada");
    ASSERT_TRUE(command);
    std::string list = packList({folder.path.string() + "/", "Quad"});
    std::string output = (folder.path / "lib.dae").string();
    EXPECT_EQ(command(output.c_str(), 0, list.data(), int32_t(list.size()), nullptr, 0, nullptr), 0);
    EXPECT_NE(readFile(output).find("<p>0 1 2 3 </p>"), std::string::npos);
    EXPECT_EQ(command(output.c_str(), 0, nullptr, 0, nullptr, 0, nullptr), -1);
}
