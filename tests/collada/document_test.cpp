// Whole documents written from meshes the tests make, compared byte for byte
// (the two times masked): the same bytes from every build of the library.
#include "tests/support/expected.h"
#include "tests/support/library.h"
#include "tests/support/temp_folder.h"
#include "common/utf8.h"
#include "tests/support/vyx_writer.h"

#include <gtest/gtest.h>

#include <fstream>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace
{
// Exports through the built library, into a folder whose name reaches
// beyond ASCII.
struct Export
{
    TempFolder folder;
    std::filesystem::path meshes = folder.path / utf8Path("\u00e9 \u65e5\u672c");
    std::string meshesText = utf8Text(meshes);
    // The folder's file URI; the temporary folder's own path needs no
    // escapes, and a drive's path begins with one more "/".
    std::string meshesUri = "file://" + std::string(folder.path.generic_string().starts_with("/") ? "" : "/") +
                            folder.path.generic_string() + "/%C3%A9%20%E6%97%A5%E6%9C%AC";
    LoadedLibrary library{libraryPath("TesmarLauncherDLL")};

    Export() { std::filesystem::create_directories(meshes); }
    void mesh(const std::string& name, const VyxMeshData& data)
    {
        ASSERT_TRUE(writeBytes(meshes / (name + ".Vyx"), vyxMeshFile(data)));
    }
    // Exports the listed entries; answers the result and the masked document.
    // A relative output path is taken from the meshes' folder.
    std::pair<float, std::string> run(const std::vector<std::string>& entries, const std::string& file = "out.dae",
                                      bool relative = false)
    {
        std::vector<std::string> list = {meshesText + "/"};
        list.insert(list.end(), entries.begin(), entries.end());
        std::string packed = packList(list);
        std::string output = relative ? file : meshesText + "/" + file;
        HostCommandEntry command = library.command("doExportCollada");
        if (!command)
            return {-99, ""};
        std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(meshes);
        float result = command(output.c_str(), 0, packed.data(), int32_t(packed.size()), nullptr, 0, nullptr);
        std::filesystem::current_path(previous);
        return {result, maskTimes(readFile(utf8Path(meshesText + "/" + file)))};
    }
};

// Writes pieces of a file at their offsets with holes between them, which
// the file system keeps sparse (on Windows once the file is marked so).
void writeSparse(const std::filesystem::path& path, const std::vector<std::pair<uint64_t, Bytes>>& pieces)
{
#if defined(_WIN32)
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD ignored = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    CloseHandle(file);
#endif
    std::ofstream out(path, std::ios::binary);
    for (const auto& [offset, bytes] : pieces)
    {
        out.seekp(std::streamoff(offset));
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
}

// One quad and one triangle over four vertices.
VyxMeshData quadAndTriangle()
{
    VyxMeshData data;
    data.vertices = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0.5f, -2.25f, 1e-7f};
    data.faces = {0, 1, 2, 3, 2, 1, 0, -1};
    return data;
}

std::string libraries(const std::string& images, const std::string& materials, const std::string& effects,
                      const std::string& geometries)
{
    // A document without a textured mesh has no images' library.
    return (images.empty() ? "" : "  <library_images>\n" + images + "  </library_images>\n") +
           "  <library_materials>\n" + materials +
           "  </library_materials>\n  <library_effects>\n" + effects + "  </library_effects>\n" +
           "  <library_geometries>\n" + geometries + "  </library_geometries>\n";
}

const std::string kPositions = "        <source id=\"NAME-POSITION\">\n"
                               "          <float_array id=\"NAME-POSITION-array\" count=\"12\">\n"
                               "0 0 0 \n1 0 0 \n1 1 0 \n0.5 -2.25 1e-07 \n"
                               "</float_array>\n"
                               "          <technique_common>\n"
                               "            <accessor source=\"#NAME-POSITION-array\" count=\"4\" stride=\"3\">\n"
                               "              <param name=\"X\" type=\"float\"/>\n"
                               "              <param name=\"Y\" type=\"float\"/>\n"
                               "              <param name=\"Z\" type=\"float\"/>\n"
                               "            </accessor>\n"
                               "          </technique_common>\n"
                               "        </source>\n";

const std::string kVertices = "        <vertices id=\"NAME-VERTEX\">\n"
                              "          <input semantic=\"POSITION\" source=\"#NAME-POSITION\"/>\n"
                              "        </vertices>\n";
}

TEST(Document, PositionsOnly)
{
    Export e;
    e.mesh("Head", quadAndTriangle());
    auto [result, document] = e.run({"Head"});
    EXPECT_EQ(result, 0);
    std::string geometry = named("    <geometry id=\"NAME-lib\" name=\"NAMEMesh\">\n      <mesh>\n" + kPositions +
                                     kVertices +
                                     "        <polylist count=\"2\" material=\"NAME_lambert\">\n"
                                     "          <input semantic=\"VERTEX\" offset=\"0\" source=\"#NAME-VERTEX\"/>\n"
                                     "          <vcount>4 3 </vcount>\n"
                                     "          <p>0 1 2 3 2 1 0 </p>\n"
                                     "        </polylist>\n      </mesh>\n    </geometry>\n",
                                 "Head");
    EXPECT_EQ(document, kStart + libraries("", named(kMaterial, "Head"), effect("Head", false), geometry) +
                            sceneOpen("out") + named(kNode, "Head") + sceneClose("out"));
}

TEST(Document, ColoursOnly)
{
    Export e;
    VyxMeshData data = quadAndTriangle();
    data.vertexColors = {0xFFFFFFFF, 0x00FF8000, 0x00000000, 0x12010203};
    e.mesh("Body", data);
    auto [result, document] = e.run({"Body"});
    EXPECT_EQ(result, 0);
    std::string colours = "        <source id=\"NAME-VERTEX_COLOR0\">\n"
                          "          <float_array id=\"NAME-VERTEX_COLOR0-array\" count=\"16\">\n"
                          "1 1 1 1.000000\n1 0.501961 0 1.000000\n0 0 0 1.000000\n"
                          "0.00392157 0.00784314 0.0117647 1.000000\n"
                          "</float_array>\n"
                          "          <technique_common>\n"
                          "            <accessor source=\"#NAME-VERTEX_COLOR0-array\" count=\"4\" stride=\"4\">\n"
                          "              <param name=\"R\" type=\"double\"/>\n"
                          "              <param name=\"G\" type=\"double\"/>\n"
                          "              <param name=\"B\" type=\"double\"/>\n"
                          "              <param name=\"A\" type=\"double\"/>\n"
                          "            </accessor>\n"
                          "          </technique_common>\n"
                          "        </source>\n";
    std::string geometry = named(
        "    <geometry id=\"NAME-lib\" name=\"NAMEMesh\">\n      <mesh>\n" + kPositions + colours + kVertices +
            "        <polylist count=\"2\" material=\"NAME_lambert\">\n"
            "          <input semantic=\"VERTEX\" offset=\"0\" source=\"#NAME-VERTEX\"/>\n"
            "          <input semantic=\"COLOR\" offset=\"1\" set=\"0\" source=\"#NAME-VERTEX_COLOR0\"/>\n"
            "          <vcount>4 3 </vcount>\n"
            "          <p>0 0 1 1 2 2 3 3 2 2 1 1 0 0 </p>\n"
            "        </polylist>\n      </mesh>\n    </geometry>\n",
        "Body");
    EXPECT_EQ(document, kStart + libraries("", named(kMaterial, "Body"), effect("Body", false), geometry) +
                            sceneOpen("out") + named(kNode, "Body") + sceneClose("out"));
}

TEST(Document, UVsAndColoursTexturedBesideUntextured)
{
    Export e;
    VyxMeshData data = quadAndTriangle();
    data.vertexColors = {0xFF0000, 0x00FF00, 0x0000FF, 0};
    // The triangle's unused fourth pair is pooled too (index 3 below).
    data.faceUVs = {0, 0, 1, 0, 1, 1, 0.0000004f, -0.0000004f, 1, 1, 1, 0, 0, 0, 0.25f, 0.75f};
    e.mesh("Body", data);
    e.mesh("Head", quadAndTriangle());
    auto [result, document] = e.run({"Body_TXTRdiffuse_TXTR.png", "Head"}, "scene.v2.dae");
    EXPECT_EQ(result, 0);
    std::string uvs = "        <source id=\"NAME-UV0\">\n"
                      "          <float_array id=\"NAME-UV0-array\" count=\"10\">\n"
                      "0.000000 0.000000\n1.000000 0.000000\n1.000000 1.000000\n0.000000 -0.000000\n"
                      "0.250000 0.750000\n"
                      "</float_array>\n"
                      "          <technique_common>\n"
                      "            <accessor source=\"#NAME-UV0-array\" count=\"5\" stride=\"2\">\n"
                      "              <param name=\"S\" type=\"float\"/>\n"
                      "              <param name=\"T\" type=\"float\"/>\n"
                      "            </accessor>\n"
                      "          </technique_common>\n"
                      "        </source>\n";
    std::string colours = "        <source id=\"NAME-VERTEX_COLOR0\">\n"
                          "          <float_array id=\"NAME-VERTEX_COLOR0-array\" count=\"16\">\n"
                          "1 0 0 1.000000\n0 1 0 1.000000\n0 0 1 1.000000\n0 0 0 1.000000\n"
                          "</float_array>\n"
                          "          <technique_common>\n"
                          "            <accessor source=\"#NAME-VERTEX_COLOR0-array\" count=\"4\" stride=\"4\">\n"
                          "              <param name=\"R\" type=\"double\"/>\n"
                          "              <param name=\"G\" type=\"double\"/>\n"
                          "              <param name=\"B\" type=\"double\"/>\n"
                          "              <param name=\"A\" type=\"double\"/>\n"
                          "            </accessor>\n"
                          "          </technique_common>\n"
                          "        </source>\n";
    std::string body = named(
        "    <geometry id=\"NAME-lib\" name=\"NAMEMesh\">\n      <mesh>\n" + kPositions + uvs + colours + kVertices +
            "        <polylist count=\"2\" material=\"NAME_lambert\">\n"
            "          <input semantic=\"VERTEX\" offset=\"0\" source=\"#NAME-VERTEX\"/>\n"
            "          <input semantic=\"TEXCOORD\" offset=\"1\" set=\"0\" source=\"#NAME-UV0\"/>\n"
            "          <input semantic=\"COLOR\" offset=\"2\" set=\"0\" source=\"#NAME-VERTEX_COLOR0\"/>\n"
            "          <vcount>4 3 </vcount>\n"
            "          <p>0 0 0 1 1 1 2 2 2 3 3 3 2 2 2 1 1 1 0 0 0 </p>\n"
            "        </polylist>\n      </mesh>\n    </geometry>\n",
        "Body");
    std::string head = named("    <geometry id=\"NAME-lib\" name=\"NAMEMesh\">\n      <mesh>\n" + kPositions +
                                 kVertices +
                                 "        <polylist count=\"2\" material=\"NAME_lambert\">\n"
                                 "          <input semantic=\"VERTEX\" offset=\"0\" source=\"#NAME-VERTEX\"/>\n"
                                 "          <vcount>4 3 </vcount>\n"
                                 "          <p>0 1 2 3 2 1 0 </p>\n"
                                 "        </polylist>\n      </mesh>\n    </geometry>\n",
                             "Head");
    std::string image = named(kImage, "Body");
    image.replace(image.find("URI"), 3, e.meshesUri + "/Body_TXTRdiffuse_TXTR.png");
    EXPECT_EQ(document, kStart +
                            libraries(image, named(kMaterial, "Body") + named(kMaterial, "Head"),
                                      effect("Body", true) + effect("Head", false), body + head) +
                            sceneOpen("scene.v2") + named(kNode, "Body") + named(kNode, "Head") +
                            sceneClose("scene.v2"));
}

// Names reach the document as XML text, and the image as the file URI of
// its absolute path, also when the document's path is relative.
TEST(Document, NamesAsXmlNamesAndTheImageAsAFileUri)
{
    Export e;
    e.mesh("A&B", quadAndTriangle());
    auto [result, document] = e.run({"A&B_TXTRmy tex&1.png"}, "it's a&b.dae", true);
    EXPECT_EQ(result, 0);
    std::string image = named(kImage, "A_B");
    image.replace(image.find("URI"), 3, e.meshesUri + "/A%26B_TXTRmy%20tex%261.png");
    for (const std::string& part : {image, named(kMaterial, "A_B"), effect("A_B", true),
                                    std::string("    <geometry id=\"A_B-lib\" name=\"A_BMesh\">\n"),
                                    sceneOpen("it_s_a_b") + named(kNode, "A_B")})
        EXPECT_NE(document.find(part), std::string::npos) << part << "\nin\n" << document;
}

TEST(Document, EmptyListAndEmptyMeshes)
{
    Export e;
    auto [result, document] = e.run({}, "empty.dae");
    EXPECT_EQ(result, 0);
    // Nothing but the asset: the schema takes no empty library or scene.
    EXPECT_EQ(document, kStart + "</COLLADA>\n");

    e.mesh("Nothing", VyxMeshData());
    auto [nothingResult, nothing] = e.run({"Nothing"});
    EXPECT_EQ(nothingResult, 0);
    std::string geometry = named("    <geometry id=\"NAME-lib\" name=\"NAMEMesh\">\n      <mesh>\n"
                                 "        <source id=\"NAME-POSITION\">\n"
                                 "          <float_array id=\"NAME-POSITION-array\" count=\"0\">\n"
                                 "</float_array>\n"
                                 "          <technique_common>\n"
                                 "            <accessor source=\"#NAME-POSITION-array\" count=\"0\" stride=\"3\">\n"
                                 "              <param name=\"X\" type=\"float\"/>\n"
                                 "              <param name=\"Y\" type=\"float\"/>\n"
                                 "              <param name=\"Z\" type=\"float\"/>\n"
                                 "            </accessor>\n"
                                 "          </technique_common>\n"
                                 "        </source>\n" +
                                     kVertices +
                                     "        <polylist count=\"0\" material=\"NAME_lambert\">\n"
                                     "          <input semantic=\"VERTEX\" offset=\"0\" source=\"#NAME-VERTEX\"/>\n"
                                     "          <vcount></vcount>\n"
                                     "          <p></p>\n"
                                     "        </polylist>\n      </mesh>\n    </geometry>\n",
                                 "Nothing");
    EXPECT_EQ(nothing, kStart + libraries("", named(kMaterial, "Nothing"), effect("Nothing", false), geometry) +
                           sceneOpen("out") + named(kNode, "Nothing") + sceneClose("out"));
}

TEST(Document, UnreadableThirdMeshOfFive)
{
    Export e;
    for (const char* name : {"A", "B", "D", "E"})
        e.mesh(name, quadAndTriangle());
    auto [result, document] = e.run({"A", "B", "C_TXTR.png", "D", "E"});
    EXPECT_EQ(result, -2);
    std::string line = "***Can't read Vyx file!***" + e.meshesText + "/C.Vyx\n";
    ASSERT_GE(document.size(), line.size());
    EXPECT_EQ(document.substr(document.size() - line.size()), line);
    size_t geometries = document.find("  <library_geometries>\n");
    ASSERT_NE(geometries, std::string::npos);
    for (const char* name : {"A", "B", "C", "D", "E"})
    {
        EXPECT_NE(document.find(named(kMaterial, name)), std::string::npos) << name;
        EXPECT_NE(document.find(effect(name, std::string(name) == "C")), std::string::npos) << name;
    }
    EXPECT_NE(document.find("<geometry id=\"B-lib\""), std::string::npos);
    EXPECT_EQ(document.find("<geometry id=\"D-lib\""), std::string::npos);
    EXPECT_EQ(document.find("</library_geometries>"), std::string::npos);
    EXPECT_EQ(document.find("<library_visual_scenes>"), std::string::npos);
}

// A mesh whose blocks lie past 2 and 4 GiB of its file, skipped blocks and
// arrays, reads as the same mesh does anywhere else.
TEST(Document, BlocksBeyondFourGigabytes)
{
    Export e;
    VyxMeshData data = quadAndTriangle();
    const int32_t gap = 0x7FFFFFF0;
    const uint64_t vertices = 32 + uint64_t(gap), faces = vertices + uint64_t(gap), end = faces + 48 + 4096;
    Bytes start = vyxFileHeader(), positions, rest, last;
    appendVyxHeader(start, 99, gap, 0); // an unknown block, skipped
    // The positions, then the rest of a payload that reaches 4 GiB.
    appendVyxHeader(positions, 10001, gap, 4);
    const uint8_t* floats = reinterpret_cast<const uint8_t*>(data.vertices.data());
    positions.insert(positions.end(), floats, floats + 48);
    appendVyxBlock(rest, 20001, 2, data.faces.data(), 32);
    appendVyxHeader(rest, 99, 4096, 0);
    appendVyxEnd(last);
    writeSparse(e.meshes / "Mesh.Vyx", {{0, start}, {vertices, positions}, {faces, rest}, {end, last}});
    auto [result, beyond] = e.run({"Mesh"});
    EXPECT_EQ(result, 0);
    e.mesh("Mesh", data);
    EXPECT_EQ(e.run({"Mesh"}), std::make_pair(0.0f, beyond));
}
