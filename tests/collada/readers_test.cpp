// Real readers judge the exported documents: the Collada 1.4.1 schema
// (xmllint) and the reference validator check every document; pycollada,
// assimp and Blender must show what was modelled: each mesh with its counts,
// opaque, the textured ones with their images.
#include "collada/collada.h"
#include "tests/support/expected.h"
#include "vyx/vyx.h"
#include "tests/support/temp_folder.h"
#include "tests/support/vyx_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

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

// The lines of a reader's output that begin with a tag, in order.
std::string tagged(const std::string& output, const std::string& tag)
{
    std::string found;
    for (size_t at = output.find(tag); at != std::string::npos; at = output.find(tag, at + 1))
        if (at == 0 || output[at - 1] == '\n')
            found += output.substr(at, output.find('\n', at) + 1 - at);
    return found;
}

const uint8_t kOnePixelPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00,
    0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x90, 0x77, 0x53, 0xde, 0x00, 0x00, 0x00, 0x0c, 0x49,
    0x44, 0x41, 0x54, 0x08, 0xd7, 0x63, 0xf8, 0xff, 0xff, 0x3f, 0x00, 0x05, 0xfe, 0x02, 0xfe, 0xdc, 0xcc, 0x59, 0xe7,
    0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

struct SampleMesh
{
    std::string name;    // the Vyx file's name and the list's mesh
    std::string image;   // the texture's file name, empty when untextured
    std::string shown;   // the name readers show
    size_t vertices, faces, corners;
    bool uvs;
};

// The samples, exported into a folder whose name holds a blank and an
// accent: the demo's meshes under names holding characters XML reserves,
// a blank and control characters, a grid with UVs and colours and a mesh of
// a quad and a triangle; two of them textured with a one-pixel image beside
// the document, one image named with a blank and a "&".
struct Samples
{
    TempFolder folder;
    std::filesystem::path place = folder.path / "my dir \u00e9";
    std::string demo = std::string(TESMAR_SOURCE_DIR) + "/host/demo/meshes/";
    std::vector<SampleMesh> meshes;
    std::string document = (place / "a&b <x>.dae").string();

    Samples()
    {
        std::filesystem::create_directories(place);
        addDemo("Cube", "Cu&b<e>", "Cu&b<e>_TXTRmy tex&1.png", "Cu_b_e_");
        addDemo("Pyramid", "Pyra\x01mid\t", "", "Pyra_mid_");
        addDemo("Sphere", "Sp\"he're", "", "Sp_he_re");
        VyxMeshData mixed;
        mixed.vertices = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 2, 0, 0};
        mixed.faces = {0, 1, 2, 3, 1, 4, 2, -1};
        add("1 Grid", vyxQuadGrid(3, 2), "1 Grid_TXTR.png", "_1_Grid", 12, 6, 24, true);
        add("Mixed", mixed, "", "Mixed", 5, 2, 7, false);
        EXPECT_EQ(exportMeshes(document, meshes), 0);
    }

    void add(const std::string& name, const VyxMeshData& data, const std::string& image, const std::string& shown,
             size_t vertices, size_t faces, size_t corners, bool uvs)
    {
        EXPECT_TRUE(writeBytes((place / (name + ".Vyx")).string(), vyxMeshFile(data)));
        keep({name, image, shown, vertices, faces, corners, uvs});
    }

    void keep(const SampleMesh& mesh)
    {
        meshes.push_back(mesh);
        Bytes png(std::begin(kOnePixelPng), std::end(kOnePixelPng));
        EXPECT_TRUE(mesh.image.empty() || writeBytes((place / mesh.image).string(), png)) << mesh.image;
    }

    void addDemo(const std::string& demoName, const std::string& name, const std::string& image,
                 const std::string& shown)
    {
        Vyx_Mesh mesh;
        ASSERT_TRUE(mesh.readMesh((demo + demoName + ".Vyx").c_str()) && prepareVyxMeshForExport(mesh, VyxUseGeometry))
            << demoName;
        std::filesystem::copy_file(demo + demoName + ".Vyx", place / (name + ".Vyx"));
        size_t corners = 0;
        for (int32_t face = 0; face < mesh.faceCount; face++)
            corners += mesh.faces[4 * size_t(face) + 3] < 0 ? 3 : 4;
        keep({name, image, shown, size_t(mesh.vertexCount), size_t(mesh.faceCount), corners, mesh.faceUVs != nullptr});
    }

    float exportMeshes(const std::string& output, const std::vector<SampleMesh>& list) const
    {
        std::string packed = place.string() + "/" + '\0';
        for (const SampleMesh& mesh : list)
            packed += (mesh.image.empty() ? mesh.name : mesh.image) + '\0';
        return exportCollada(output.c_str(), packed.data(), int32_t(packed.size()));
    }

    // The meshes in the order a reader lists them, sorted by the name shown.
    std::vector<SampleMesh> byShownName() const
    {
        std::vector<SampleMesh> sorted = meshes;
        std::sort(sorted.begin(), sorted.end(), [](auto& a, auto& b) { return a.shown < b.shown; });
        return sorted;
    }
};
}

// Every kind of document the export makes, valid by the schema (served from
// the files the system's packages install, with no network) and by the
// reference validator, which also checks what the schema cannot, such as
// references: the samples, an untextured document (no images' library), a
// document of no mesh, one of a mesh without vertices and one whose file
// name is all extension.
TEST(Readers, SchemaAndReferenceValidator)
{
    const std::string schema = "/usr/lib/opencollada/collada_schema_1_4_1.xsd";
    if (!have("xmllint") || !have("opencolladavalidator") || !std::filesystem::exists(schema))
        GTEST_SKIP() << "xmllint or opencolladavalidator is not installed (scripts/setup installs them)";
    setenv("XML_CATALOG_FILES", TESMAR_SOURCE_DIR "/tests/support/schema/catalog.xml", 1);
    Samples samples;
    std::vector<std::string> documents = {samples.document};
    auto exportAlso = [&](const std::string& file, const std::vector<SampleMesh>& list) {
        documents.push_back((samples.place / file).string());
        EXPECT_EQ(samples.exportMeshes(documents.back(), list), 0) << file;
    };
    exportAlso("untextured.dae", {samples.meshes[1], samples.meshes[4]});
    exportAlso("empty.dae", {});
    EXPECT_TRUE(writeBytes((samples.place / "Nothing.Vyx").string(), vyxMeshFile(VyxMeshData())));
    exportAlso("nothing.dae", {{"Nothing", "", "Nothing", 0, 0, 0, false}});
    exportAlso(".dae", {samples.meshes[0]});

    // The check itself is real: a colour short of its four numbers, which the
    // reference validator lets through, fails it.
    std::string broken = readFile(samples.document);
    broken.replace(broken.find("0.000000 1.000000</color>"), 25, "</color>");
    EXPECT_TRUE(writeBytes((samples.place / "broken.dae").string(), Bytes(broken.begin(), broken.end())));
    std::string refused;
    EXPECT_NE(run({"xmllint", "--nonet", "--noout", "--schema", schema, (samples.place / "broken.dae").string()},
                  refused),
              0)
        << refused;

    for (const std::string& document : documents)
    {
        std::string output;
        EXPECT_EQ(run({"xmllint", "--nonet", "--noout", "--schema", schema, document}, output), 0) << output;
        EXPECT_EQ(run({"opencolladavalidator", document}, output), 0) << output;
        EXPECT_NE(output.find("is valid against the COLLADA 1.4.1 schema"), std::string::npos) << output;
        EXPECT_EQ(output.find("rror"), std::string::npos) << output;
    }
}

// Each reader shows every sample mesh with its counts, opaque, the textured
// ones with their images.
TEST(Readers, OpaqueAndTexturedInEveryReader)
{
    std::string output;
    if (!have("assimp") || !have("blender") || run({"/usr/bin/python3", "-c", "import collada"}, output) != 0)
        GTEST_SKIP() << "assimp, blender or pycollada is not installed (scripts/setup installs them)";
    Samples samples;
    std::vector<SampleMesh> meshes = samples.byShownName();

    // pycollada: the effect's opacity by the format's own rule (A_ONE takes
    // the colour's alpha, RGB_ZERO its red, green and blue).
    const char* pycollada =
        "import collada, sys\n"
        "d = collada.Collada(sys.argv[1])\n"
        "effects = {m.id: m.effect for m in d.materials}\n"
        "for g in sorted(d.geometries, key=lambda g: g.id):\n"
        "    p = g.primitives[0]\n"
        "    e = effects[p.material]\n"
        "    c, t = e.transparent, e.transparency\n"
        "    opacity = c[3] * t if e.opaque_mode == 'A_ONE' else 1 - (c[0] + c[1] + c[2]) / 3 * t\n"
        "    image = e.diffuse.sampler.surface.image.path if hasattr(e.diffuse, 'sampler') else ''\n"
        "    print('MESH', g.id, len(p), len(p.vertex), len(p.texcoordset), '%g' % opacity, image)\n";
    ASSERT_EQ(run({"/usr/bin/python3", "-c", pycollada, samples.document}, output), 0) << output;
    std::string expected;
    for (const SampleMesh& mesh : meshes)
        expected += "MESH " + mesh.shown + "-lib " + std::to_string(mesh.faces) + " " +
                    std::to_string(mesh.vertices) + (mesh.uvs ? " 1" : " 0") + " 1 " +
                    (mesh.image.empty() ? "" : fileUri((samples.place / mesh.image).string(), PathStyle::Posix)) + "\n";
    EXPECT_EQ(tagged(output, "MESH "), expected) << output;

    // assimp, raw: the polygons as they are, one vertex a corner, and no
    // material less than opaque.
    ASSERT_EQ(run({"assimp", "info", samples.document, "-r"}, output), 0) << output;
    for (const SampleMesh& mesh : meshes)
    {
        std::string counts = "(" + mesh.shown + "-lib): [" + std::to_string(mesh.corners) + " / 0 / " +
                             std::to_string(mesh.faces) + " |";
        EXPECT_NE(output.find(counts), std::string::npos) << counts << "\n" << output;
    }
    std::string dump = (samples.folder.path / "dump.assxml").string();
    ASSERT_EQ(run({"assimp", "dump", samples.document, dump}, output), 0) << output;
    std::string properties = readFile(dump);
    size_t opacities = 0;
    for (size_t at = properties.find("\"$mat.opacity\""); at != std::string::npos;
         at = properties.find("\"$mat.opacity\"", at + 1), opacities++)
        EXPECT_EQ(std::strtod(properties.c_str() + properties.find('>', at) + 1, nullptr), 1.0)
            << properties.substr(at, 160);
    EXPECT_EQ(opacities, meshes.size());

    // Blender: each object's material opaque in the renderers (the Principled
    // BSDF's Alpha) and in the viewport (the colour's alpha), its image on
    // the BSDF's Base Color.
    const char* blender =
        "import bpy, sys\n"
        "bpy.ops.object.select_all(action='SELECT')\n"
        "bpy.ops.object.delete()\n"
        "bpy.ops.wm.collada_import(filepath=sys.argv[-1])\n"
        "for o in sorted(bpy.context.scene.objects, key=lambda o: o.name):\n"
        "    m = o.data\n"
        "    for s in o.material_slots:\n"
        "        bsdf = [n for n in s.material.node_tree.nodes if n.type == 'BSDF_PRINCIPLED']\n"
        "        alpha = ['%g' % n.inputs['Alpha'].default_value for n in bsdf]\n"
        "        images = [l.from_node.image.filepath for n in bsdf for l in n.inputs['Base Color'].links\n"
        "                  if l.from_node.type == 'TEX_IMAGE' and l.from_node.image and l.from_node.image.size[0]]\n"
        "        print('MESH', o.name, len(m.vertices), len(m.polygons), len(m.uv_layers), s.material.name,\n"
        "              '%g' % s.material.diffuse_color[3], ','.join(alpha), ','.join(images))\n";
    ASSERT_EQ(run({"blender", "-b", "--factory-startup", "--python-expr", blender, "--", samples.document}, output), 0)
        << output;
    expected.clear();
    for (const SampleMesh& mesh : meshes)
        expected += "MESH " + mesh.shown + " " + std::to_string(mesh.vertices) + " " + std::to_string(mesh.faces) +
                    (mesh.uvs ? " 1 " : " 0 ") + mesh.shown + "_lambert 1 1 " +
                    (mesh.image.empty() ? "" : (samples.place / mesh.image).string()) + "\n";
    EXPECT_EQ(tagged(output, "MESH "), expected) << output;
}
