// Real readers accept the exported documents: the Collada schema and
// reference validator, pycollada, assimp, xmllint and Blender.
#include "collada/collada.h"
#include "vyx/vyx.h"
#include "tests/support/temp_folder.h"
#include "tests/support/vyx_writer.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace
{
// Runs a program without a shell's help for the arguments' sake: every
// argument is quoted; answers its exit status and output.
int run(const std::vector<std::string>& arguments, std::string& output)
{
    std::string command;
    for (const std::string& argument : arguments)
    {
        command += " '";
        for (char c : argument)
            command += c == '\'' ? std::string("'\\''") : std::string(1, c);
        command += "'";
    }
    command += " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    output.clear();
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
        output.append(buffer, got);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool have(const std::string& program)
{
    std::string output;
    return run({"sh", "-c", "command -v " + program}, output) == 0;
}

// Two meshes: a 3 x 2 grid of quads with UVs and colours, textured, and a
// mesh of one quad and one triangle.
std::string exportSample(const TempFolder& folder)
{
    writeBytes((folder.path / "Grid.Vyx").string(), vyxMeshFile(vyxQuadGrid(3, 2)));
    VyxMeshData mixed;
    mixed.vertices = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 2, 0, 0};
    mixed.faces = {0, 1, 2, 3, 1, 4, 2, -1};
    writeBytes((folder.path / "Mixed.Vyx").string(), vyxMeshFile(mixed));
    std::string list = folder.path.string() + "/" + '\0' + "Grid_TXTR.png" + '\0' + "Mixed" + '\0';
    std::string output = (folder.path / "sample.dae").string();
    EXPECT_EQ(exportCollada(output.c_str(), list.data(), int32_t(list.size())), 0);
    return output;
}
}

TEST(Readers, SchemaAndReferenceValidator)
{
    if (!have("opencolladavalidator"))
        GTEST_SKIP() << "opencolladavalidator is not installed (scripts/setup installs it)";
    TempFolder folder;
    std::string document = exportSample(folder);
    std::string output;
    EXPECT_EQ(run({"opencolladavalidator", document}, output), 0) << output;
    EXPECT_NE(output.find("is valid against the COLLADA 1.4.1 schema"), std::string::npos) << output;
    EXPECT_EQ(output.find("rror"), std::string::npos) << output;
}

TEST(Readers, Pycollada)
{
    std::string output;
    if (run({"/usr/bin/python3", "-c", "import collada"}, output) != 0)
        GTEST_SKIP() << "pycollada is not installed (scripts/setup installs it)";
    TempFolder folder;
    std::string document = exportSample(folder);
    const char* script = "import collada, sys\n"
                         "d = collada.Collada(sys.argv[1])\n"
                         "for g in d.geometries:\n"
                         "    p = g.primitives[0]\n"
                         "    uv = len(p.texcoordset[0]) if len(p.texcoordset) else 0\n"
                         "    print(g.id, len(p), len(p.vertex), uv)\n";
    ASSERT_EQ(run({"/usr/bin/python3", "-c", script, document}, output), 0) << output;
    // The grid: 6 quads over 12 vertices and 12 distinct UVs; the mixed mesh: 2 polygons over 5 vertices.
    EXPECT_EQ(output, "Grid-lib 6 12 12\nMixed-lib 2 5 0\n");
}

TEST(Readers, Assimp)
{
    if (!have("assimp"))
        GTEST_SKIP() << "assimp is not installed (scripts/setup installs it)";
    TempFolder folder;
    std::string document = exportSample(folder);
    std::string output;
    // A raw import keeps the polygons as they are, with one vertex a corner.
    ASSERT_EQ(run({"assimp", "info", document, "-r"}, output), 0) << output;
    EXPECT_NE(output.find("(Grid-lib): [24 / 0 / 6 | polygon]"), std::string::npos) << output;
    EXPECT_NE(output.find("(Mixed-lib): [7 / 0 / 2 | triangle polygon]"), std::string::npos) << output;
}

namespace
{
// The demo's meshes under names holding every character XML reserves,
// exported into a folder whose name holds a blank and an accent, the first
// textured with a one-pixel image beside the document.
struct OddlyNamedDemo
{
    TempFolder folder;
    std::filesystem::path place = folder.path / "my dir \u00e9";
    std::string meshes = std::string(TESMAR_SOURCE_DIR) + "/host/demo/meshes/";
    // Demo mesh, name in the document, sorted by name.
    std::vector<std::pair<std::string, std::string>> names = {
        {"Cube", "Cu&b<e>"}, {"Pyramid", "Pyramid"}, {"Sphere", "Sp\"he're"}};
    std::string image = (place / "Cu&b<e>_TXTRmy tex&1.png").string();
    std::string document = (place / "a&b <x>.dae").string();

    OddlyNamedDemo()
    {
        std::filesystem::create_directories(place);
        std::string list = place.string() + "/" + '\0';
        for (const auto& [demo, name] : names)
        {
            std::filesystem::copy_file(meshes + demo + ".Vyx", place / (name + ".Vyx"));
            list += (demo == "Cube" ? name + "_TXTRmy tex&1.png" : name) + '\0';
        }
        const uint8_t png[] = {0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48,
                               0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00,
                               0x00, 0x90, 0x77, 0x53, 0xde, 0x00, 0x00, 0x00, 0x0c, 0x49, 0x44, 0x41, 0x54, 0x08,
                               0xd7, 0x63, 0xf8, 0xff, 0xff, 0x3f, 0x00, 0x05, 0xfe, 0x02, 0xfe, 0xdc, 0xcc, 0x59,
                               0xe7, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
        EXPECT_TRUE(writeBytes(image, Bytes(png, png + sizeof png)));
        EXPECT_EQ(exportCollada(document.c_str(), list.data(), int32_t(list.size())), 0);
    }
};
}

TEST(Readers, XmlReaderTakesAnyNames)
{
    if (!have("xmllint"))
        GTEST_SKIP() << "xmllint is not installed (scripts/setup installs it)";
    OddlyNamedDemo demo;
    std::string output;
    EXPECT_EQ(run({"xmllint", "--noout", demo.document}, output), 0) << output;
}

// A full 3D application imports the demo's document: every mesh under its
// name with its counts, the textured one with its UVs, material and image.
TEST(Readers, Blender)
{
    if (!have("blender"))
        GTEST_SKIP() << "blender is not installed (scripts/setup installs it)";
    OddlyNamedDemo demo;
    const char* script = "import bpy, sys\n"
                         "bpy.ops.object.select_all(action='SELECT')\n"
                         "bpy.ops.object.delete()\n"
                         "bpy.ops.wm.collada_import(filepath=sys.argv[-1])\n"
                         "for o in sorted(bpy.context.scene.objects, key=lambda o: o.name):\n"
                         "    m = o.data\n"
                         "    images = ['%s %dx%d' % (n.image.filepath, n.image.size[0], n.image.size[1])\n"
                         "              for s in o.material_slots if s.material and s.material.node_tree\n"
                         "              for n in s.material.node_tree.nodes if n.type == 'TEX_IMAGE' and n.image]\n"
                         "    print('MESH', o.name, len(m.vertices), len(m.polygons), len(m.uv_layers),\n"
                         "          '|'.join(s.material.name for s in o.material_slots if s.material), '|'.join(images))\n";
    std::string output;
    ASSERT_EQ(run({"blender", "-b", "--factory-startup", "--python-expr", script, "--", demo.document}, output), 0)
        << output;
    std::string found;
    for (size_t at = 0; (at = output.find("MESH ", at)) != std::string::npos; at++)
        found += output.substr(at, output.find('\n', at) + 1 - at);

    std::string expected;
    for (const auto& [demoName, name] : demo.names)
    {
        Vyx_Mesh mesh;
        ASSERT_TRUE(mesh.readMesh((demo.meshes + demoName + ".Vyx").c_str())) << name;
        expected += "MESH " + name + " " + std::to_string(mesh.vertexCount) + " " + std::to_string(mesh.faceCount) +
                    (mesh.faceUVs ? " 1 " : " 0 ") + name + "_lambert " +
                    (demoName == "Cube" ? demo.image + " 1x1" : "") + "\n";
    }
    EXPECT_EQ(found, expected) << output;
}
