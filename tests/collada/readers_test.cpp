// Real Collada readers accept the exported documents: the schema and
// reference validator, pycollada and assimp, each reporting the counts.
#include "collada.h"
#include "temp_folder.h"
#include "vyx_writer.h"

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
    // The document's texture names its image rather than a sampler, as the
    // host's exports always have; the validator notes it and nothing else.
    std::string rest = output;
    const std::string note = "Sax FWL Error: Texture with sid \"Grid_fileDiffuse-image\" not found in effect with id "
                             "\"Grid_lambert-fx\".\n";
    for (size_t at; (at = rest.find(note)) != std::string::npos;)
        rest.erase(at, note.size());
    EXPECT_EQ(rest.find("rror"), std::string::npos) << output;
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
