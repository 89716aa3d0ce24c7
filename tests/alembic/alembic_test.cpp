// Archives written by the export, read back with Alembic's own reading API.
#include "alembic/alembic_export.h"
#include "collada/collada.h"
#include "tests/support/expected.h"
#include "tests/support/library.h"
#include "tests/support/temp_folder.h"
#include "tests/support/vyx_writer.h"

#include <Alembic/AbcCoreFactory/All.h>
#include <Alembic/AbcGeom/All.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdio>

namespace AbcGeom = Alembic::AbcGeom;

namespace
{
struct ReadMesh
{
    std::string path;
    size_t samples = 0;
    std::vector<float> positions;
    std::vector<int32_t> indices;
    std::vector<int32_t> counts;
    bool hasUVs = false;
    std::vector<float> uvValues;
    std::vector<uint32_t> uvIndices;
    bool sameSamples = false;
};

std::vector<ReadMesh> readArchive(const std::string& path)
{
    std::vector<ReadMesh> meshes;
    Alembic::AbcCoreFactory::IFactory factory;
    Alembic::Abc::IArchive archive = factory.getArchive(path);
    Alembic::Abc::IObject top = archive.getTop();
    for (size_t i = 0; i < top.getNumChildren(); i++)
    {
        Alembic::Abc::IObject xform = top.getChild(i);
        EXPECT_TRUE(AbcGeom::IXform::matches(xform.getHeader()));
        EXPECT_EQ(xform.getNumChildren(), 1u);
        AbcGeom::IPolyMesh polyMesh(xform, xform.getChildHeader(0).getName());
        AbcGeom::IPolyMeshSchema& schema = polyMesh.getSchema();
        ReadMesh mesh;
        mesh.path = polyMesh.getFullName();
        mesh.samples = schema.getNumSamples();
        AbcGeom::IPolyMeshSchema::Sample first = schema.getValue(Alembic::Abc::ISampleSelector(Alembic::Abc::index_t(0)));
        AbcGeom::IPolyMeshSchema::Sample second = schema.getValue(Alembic::Abc::ISampleSelector(Alembic::Abc::index_t(mesh.samples - 1)));
        const float* p = reinterpret_cast<const float*>(first.getPositions()->get());
        mesh.positions.assign(p, p + first.getPositions()->size() * 3);
        mesh.indices.assign(first.getFaceIndices()->get(), first.getFaceIndices()->get() + first.getFaceIndices()->size());
        mesh.counts.assign(first.getFaceCounts()->get(), first.getFaceCounts()->get() + first.getFaceCounts()->size());
        mesh.sameSamples = first.getPositions()->getKey() == second.getPositions()->getKey() &&
                           first.getFaceIndices()->getKey() == second.getFaceIndices()->getKey();
        AbcGeom::IV2fGeomParam uvs = schema.getUVsParam();
        mesh.hasUVs = uvs.valid();
        if (mesh.hasUVs)
        {
            EXPECT_TRUE(uvs.isIndexed());
            EXPECT_EQ(uvs.getScope(), AbcGeom::kFacevaryingScope);
            AbcGeom::IV2fGeomParam::Sample sample = uvs.getIndexedValue();
            const float* v = reinterpret_cast<const float*>(sample.getVals()->get());
            mesh.uvValues.assign(v, v + sample.getVals()->size() * 2);
            mesh.uvIndices.assign(sample.getIndices()->get(), sample.getIndices()->get() + sample.getIndices()->size());
        }
        EXPECT_FALSE(schema.getNormalsParam().valid());
        EXPECT_EQ(schema.getArbGeomParams().valid() ? schema.getArbGeomParams().getNumProperties() : 0u, 0u);
        meshes.push_back(mesh);
    }
    return meshes;
}

struct Export
{
    TempFolder folder;
    std::string archive = (folder.path / "out.abc").string();

    void mesh(const std::string& name, const VyxMeshData& data)
    {
        ASSERT_TRUE(writeBytes((folder.path / (name + ".Vyx")).string(), vyxMeshFile(data)));
    }
    float run(const std::vector<std::string>& names)
    {
        std::string list = folder.path.string() + "/" + '\0';
        for (const std::string& name : names)
            list += name + '\0';
        return addMeshes(archive.c_str(), list.data(), int32_t(list.size()));
    }
};

VyxMeshData quadAndTriangle()
{
    VyxMeshData data;
    data.vertices = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, -0.0f};
    data.faces = {0, 1, 2, 3, 1, 2, 3, -1};
    return data;
}
}

TEST(Alembic, ObjectsInListOrderWithReversedCorners)
{
    Export e;
    e.mesh("Head", quadAndTriangle());
    VyxMeshData tri = quadAndTriangle();
    tri.faces = {0, 1, 2, -5};
    e.mesh("Body", tri);
    ASSERT_EQ(e.run({"Head", "Body"}), 0);
    std::vector<ReadMesh> meshes = readArchive(e.archive);
    ASSERT_EQ(meshes.size(), 2u);
    EXPECT_EQ(meshes[0].path, "/Head/Head");
    EXPECT_EQ(meshes[1].path, "/Body/Body");
    for (const ReadMesh& mesh : meshes)
    {
        EXPECT_EQ(mesh.samples, 2u);
        EXPECT_TRUE(mesh.sameSamples);
        EXPECT_FALSE(mesh.hasUVs);
        EXPECT_EQ(mesh.positions, quadAndTriangle().vertices);
        EXPECT_TRUE(std::signbit(mesh.positions[11]));
    }
    EXPECT_EQ(meshes[0].indices, (std::vector<int32_t>{3, 2, 1, 0, 3, 2, 1}));
    EXPECT_EQ(meshes[0].counts, (std::vector<int32_t>{4, 3}));
    EXPECT_EQ(meshes[1].indices, (std::vector<int32_t>{2, 1, 0}));
    EXPECT_EQ(meshes[1].counts, std::vector<int32_t>{3});
}

TEST(Alembic, PooledUVsInTheSameReversedOrder)
{
    Export e;
    VyxMeshData data = quadAndTriangle();
    // The quad's corners: two print alike (0.250000), one is -0 and one +0.
    // The triangle's unused fourth pair is not pooled.
    data.faceUVs = {0.2500001f, 1, 0.2500004f, 1, -0.0f, 0.5f, 0.0f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 9, 9};
    e.mesh("Uv", data);
    ASSERT_EQ(e.run({"Uv"}), 0);
    std::vector<ReadMesh> meshes = readArchive(e.archive);
    ASSERT_EQ(meshes.size(), 1u);
    ASSERT_TRUE(meshes[0].hasUVs);
    // Visited: quad corners 3, 2, 1, 0, then triangle corners 2, 1, 0.
    EXPECT_EQ(meshes[0].uvIndices, (std::vector<uint32_t>{0, 1, 2, 2, 3, 3, 3}));
    ASSERT_EQ(meshes[0].uvValues.size(), 8u);
    EXPECT_EQ(meshes[0].uvValues[0], 0.0f);
    EXPECT_FALSE(std::signbit(meshes[0].uvValues[0]));
    EXPECT_TRUE(std::signbit(meshes[0].uvValues[2]));
    EXPECT_EQ(meshes[0].uvValues[4], 0.2500004f); // the first visited of the two alike
    EXPECT_EQ(meshes[0].uvValues[6], 0.5f);
}

TEST(Alembic, TriangleBlocksExportThroughTheFourIndexView)
{
    Export e;
    VyxMeshData data;
    data.vertices = {0, 0, 0, 1, 0, 0, 1, 1, 0};
    data.faces = {0, 1, 2};
    data.faceTag = 20003;
    data.faceUVs = {0, 0, 1, 0, 1, 1};
    data.uvTag = 25002;
    e.mesh("Tri", data);
    ASSERT_EQ(e.run({"Tri"}), 0);
    std::vector<ReadMesh> meshes = readArchive(e.archive);
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(meshes[0].indices, (std::vector<int32_t>{2, 1, 0}));
    EXPECT_EQ(meshes[0].uvIndices, (std::vector<uint32_t>{0, 1, 2}));
    EXPECT_EQ(meshes[0].uvValues, (std::vector<float>{1, 1, 1, 0, 0, 0}));
}

TEST(Alembic, FailuresLeaveTheEarlierArchive)
{
    Export e;
    e.mesh("Head", quadAndTriangle());
    VyxMeshData bad = quadAndTriangle();
    bad.faces = {0, 1, 2, 7};
    e.mesh("Bad", bad);
    VyxMeshData shortColours = quadAndTriangle();
    shortColours.vertexColors = {1}; // colours are not exported: no reason to refuse
    e.mesh("Coloured", shortColours);

    EXPECT_EQ(e.run({}), 0);
    EXPECT_TRUE(readArchive(e.archive).empty());
    EXPECT_EQ(e.run({"Coloured", "Head"}), 0);
    std::string earlier = readFile(e.archive);
    EXPECT_EQ(e.run({"Head", "Missing", "Coloured"}), -1);
    EXPECT_EQ(e.run({"Head", "Bad"}), -1);
    EXPECT_EQ(e.run({"Coloured", "Head", "Head"}), -1); // the library refuses a second Head
    EXPECT_EQ(readFile(e.archive), earlier);
    std::vector<ReadMesh> kept = readArchive(e.archive);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[1].path, "/Head/Head");
    // Where there was no archive, the one that ended holds the meshes before
    // the failure.
    std::filesystem::remove(e.archive);
    EXPECT_EQ(e.run({"Head", "Missing", "Coloured"}), -1);
    kept = readArchive(e.archive);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].path, "/Head/Head");
}

TEST(Alembic, OutputThatCannotBeWritten)
{
    Export e;
    e.mesh("Head", quadAndTriangle());
    std::string list = e.folder.path.string() + "/" + '\0' + "Head" + '\0';
    std::string missing = (e.folder.path / "no" / "out.abc").string();
    EXPECT_EQ(addMeshes(missing.c_str(), list.data(), int32_t(list.size())), -3);
    EXPECT_FALSE(std::filesystem::exists(e.folder.path / "no"));
    // A folder is never taken for the output, not even an empty one.
    std::filesystem::create_directories(e.folder.path / "empty");
    std::string empty = (e.folder.path / "empty").string();
    EXPECT_EQ(addMeshes(empty.c_str(), list.data(), int32_t(list.size())), -3);
    EXPECT_TRUE(std::filesystem::is_directory(empty));
    EXPECT_EQ(addMeshes(nullptr, list.data(), int32_t(list.size())), -3);
}

TEST(Alembic, CommandsAndTools)
{
    Export e;
    e.mesh("Head", quadAndTriangle());
    e.mesh("Body", quadAndTriangle());
    LoadedLibrary library(libraryPath("TesmarLauncherDLL"));
    HostCommandEntry command = library.command("doAddMeshes");
    ASSERT_TRUE(command);
    std::string list = e.folder.path.string() + "/" + '\0' + "Head" + '\0' + "Body" + '\0';
    EXPECT_EQ(command(e.archive.c_str(), 0, list.data(), int32_t(list.size()), nullptr, 0, nullptr), 0);

    std::string output;
    FILE* pipe = popen(("abcls -r '" + e.archive + "' 2>&1").c_str(), "r");
    ASSERT_TRUE(pipe);
    char buffer[1024];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
        output.append(buffer, got);
    EXPECT_EQ(pclose(pipe), 0) << output;
    for (const char* object : {"Head", "Body"})
        EXPECT_NE(output.find(object), std::string::npos) << output;

    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(e.folder.path);
    HostCommandEntry test = library.command("TestAlembic");
    ASSERT_TRUE(test);
    EXPECT_EQ(test(nullptr, 0, nullptr, 0, nullptr, 0, nullptr), 3);
    EXPECT_TRUE(std::filesystem::exists("happy.abc"));
    EXPECT_TRUE(readArchive("happy.abc").empty());
    std::filesystem::current_path(previous);
}

// Blocks the reader skips are judged by their size alone, and an empty block
// leaves the array before it as it was stored: both exports of such files
// equal those of the same file without the block.
TEST(Alembic, SkippedAndEmptyBlocksChangeNeitherExport)
{
    const float vertices[12] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    const int32_t quads[8] = {0, 1, 2, 3, 0, 1, 2, -1};
    const int32_t triangles[6] = {0, 1, 2, 1, 2, 3};
    const float uv8[16] = {.1f, .1f, .2f, .2f, .3f, .3f, .4f, .4f, .5f, .5f, .6f, .6f, .7f, .7f, 0, 0};
    struct Block
    {
        int32_t tag, count;
        const void* data;
        size_t bytes;
    };
    auto file = [&](std::vector<Block> blocks) {
        Bytes bytes = vyxFileHeader();
        for (const Block& b : blocks)
        {
            if (b.data)
                appendVyxBlock(bytes, b.tag, b.count, b.data, b.bytes);
            else
                appendVyxHeader(bytes, b.tag, 16, b.count); // no payload, whatever the count says
        }
        appendVyxEnd(bytes);
        return bytes;
    };
    const Block v{10001, 4, vertices, sizeof vertices};
    const Block f4{20001, 2, quads, sizeof quads}, f3{20003, 2, triangles, sizeof triangles};
    const Block uv4{25001, 2, uv8, sizeof uv8}, uv3{25002, 2, uv8, 12 * sizeof(float)};
    struct Case
    {
        std::vector<Block> base, variant;
    };
    const Case cases[] = {
        {{v, f4, uv4}, {{10002, 1000, nullptr, 0}, v, f4, uv4}},
        {{v, f4, uv4}, {{30001, 1000, nullptr, 0}, v, f4, uv4}},
        {{v, f4, uv4}, {{10002, -7, nullptr, 0}, v, f4, {30001, INT32_MAX, nullptr, 0}, uv4}},
        {{v, f4, uv4}, {v, f4, uv4, {25002, 2, nullptr, 0}}},
        {{v, f4, uv4}, {v, f4, {20003, 2, nullptr, 0}, uv4}},
        {{v, f3, uv3}, {v, f3, {20001, 2, nullptr, 0}, uv3, {25001, 2, nullptr, 0}}},
        {{v, f3, uv3}, {v, f3, uv3, {25001, 0, nullptr, 0}}},
    };
    TempFolder folder;
    std::string textured = packList({folder.path.string() + "/", "M_TXTR"});
    std::string list = packList({folder.path.string() + "/", "M"});
    std::string dae = (folder.path / "out.dae").string(), abc = (folder.path / "out.abc").string();
    auto exportBoth = [&](const std::vector<Block>& blocks) {
        writeBytes((folder.path / "M.Vyx").string(), file(blocks));
        EXPECT_EQ(exportCollada(dae.c_str(), textured.data(), int32_t(textured.size())), 0);
        EXPECT_EQ(addMeshes(abc.c_str(), list.data(), int32_t(list.size())), 0);
        std::vector<ReadMesh> meshes = readArchive(abc);
        return std::make_pair(maskTimes(readFile(dae)), meshes.size() == 1 ? meshes[0] : ReadMesh{});
    };
    for (const Case& c : cases)
    {
        auto [baseDae, baseAbc] = exportBoth(c.base);
        auto [variantDae, abc] = exportBoth(c.variant);
        size_t index = size_t(&c - cases);
        EXPECT_EQ(variantDae, baseDae) << index;
        EXPECT_EQ(abc.positions, baseAbc.positions) << index;
        EXPECT_EQ(abc.indices, baseAbc.indices) << index;
        EXPECT_EQ(abc.counts, baseAbc.counts) << index;
        EXPECT_EQ(abc.uvValues, baseAbc.uvValues) << index;
        EXPECT_EQ(abc.uvIndices, baseAbc.uvIndices) << index;
        EXPECT_FALSE(baseAbc.uvIndices.empty()) << index;
    }
}

// A FIFO in place of a mesh or of an output would block the host for ever;
// special files are refused by both exports, and a device stays as it is.
TEST(Alembic, SpecialFilesNeverBlockEitherExport)
{
    TempFolder folder;
    std::string list = packList({folder.path.string() + "/", "M"});
    std::string fifo = (folder.path / "M.Vyx").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string dae = (folder.path / "out.dae").string(), abc = (folder.path / "out.abc").string();
    EXPECT_EQ(exportCollada(dae.c_str(), list.data(), int32_t(list.size())), -2);
    EXPECT_EQ(addMeshes(abc.c_str(), list.data(), int32_t(list.size())), -1);

    std::filesystem::remove(fifo);
    writeBytes(fifo, vyxMeshFile(quadAndTriangle()));
    std::string outFifo = (folder.path / "out.fifo").string();
    ASSERT_EQ(mkfifo(outFifo.c_str(), 0600), 0);
    for (const std::string& output : {outFifo, std::string("/dev/null")})
    {
        EXPECT_EQ(exportCollada(output.c_str(), list.data(), int32_t(list.size())), -1) << output;
        EXPECT_EQ(addMeshes(output.c_str(), list.data(), int32_t(list.size())), -3) << output;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(outFifo));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}
