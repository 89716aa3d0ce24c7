// Both exports through the built library, on what makes them fail: an
// earlier output stays byte for byte, the meshes read are never written, no
// temporary file is left, and a mesh with numbers readers refuse is as
// unreadable as a broken one.
#include "common/utf8.h"
#include "tests/support/expected.h"
#include "tests/support/library.h"
#include "tests/support/temp_folder.h"
#include "tests/support/vyx_writer.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

namespace
{
struct ExportCommand
{
    const char* name;
    float unreadable; // a mesh cannot be read
    float refused;    // the output cannot be written
};
const ExportCommand kExports[] = {{"doExportCollada", -2, -1}, {"doAddMeshes", -1, -3}};

VyxMeshData quadAndTriangle()
{
    VyxMeshData data;
    data.vertices = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    data.faces = {0, 1, 2, 3, 2, 1, 0, -1};
    data.faceUVs = {0, 0, 1, 0, 1, 1, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0};
    return data;
}

struct Exports
{
    TempFolder folder;
    std::string dir = utf8Text(folder.path) + "/";
    LoadedLibrary library{libraryPath("TesmarLauncherDLL")};

    void mesh(const std::string& name, const Bytes& bytes) { ASSERT_TRUE(writeBytes(path(name + ".Vyx"), bytes)); }
    std::filesystem::path path(const std::string& name) const { return utf8Path(dir + name); }
    float run(const ExportCommand& command, const std::string& output, const std::vector<std::string>& meshes,
              const std::string& meshFolder = "")
    {
        std::vector<std::string> entries = {meshFolder.empty() ? dir : meshFolder};
        entries.insert(entries.end(), meshes.begin(), meshes.end());
        std::string list = packList(entries);
        HostCommandEntry entry = library.command(command.name);
        return entry ? entry(output.c_str(), 0, list.data(), int32_t(list.size()), nullptr, 0, nullptr) : -99;
    }
    std::set<std::string> names() const
    {
        std::set<std::string> found;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path))
            found.insert(utf8Text(entry.path().lexically_relative(folder.path)));
        return found;
    }
};
}

// A mesh that cannot be read, second in its list, with an earlier output and
// without one: the earlier output is as it was; where there was none, each
// export leaves what it wrote before the mesh that ended it.
TEST(FailedExports, LeaveWhatWasThere)
{
    Exports e;
    e.mesh("Good", vyxMeshFile(quadAndTriangle()));
    Bytes cut = vyxMeshFile(quadAndTriangle());
    cut.resize(cut.size() - 16); // no end marker
    e.mesh("Cut", cut);
    VyxMeshData badIndex = quadAndTriangle();
    badIndex.faces[3] = 9;
    e.mesh("BadIndex", vyxMeshFile(badIndex));
    e.mesh("NotVyx", Bytes(64, 'x'));
    const std::string earlier = "earlier output\n";
    for (const ExportCommand& command : kExports)
        for (const char* bad : {"Missing", "Cut", "BadIndex", "NotVyx"})
            for (bool present : {false, true})
            {
                std::filesystem::remove(e.path("out"));
                if (present)
                    writeBytes(e.path("out"), Bytes(earlier.begin(), earlier.end()));
                std::set<std::string> before = e.names();
                std::string at = std::string(command.name) + " " + bad + (present ? " over a file" : "");
                EXPECT_EQ(e.run(command, e.dir + "out", {"Good", bad}), command.unreadable) << at;
                bool document = command.unreadable == -2;
                std::string left = readFile(e.path("out"));
                if (present)
                {
                    EXPECT_EQ(left, earlier) << at;
                }
                else
                {
                    // The document stops at the line naming the mesh; the
                    // archive holds the mesh before it.
                    EXPECT_TRUE(document ? left.ends_with("***Can't read Vyx file!***" + e.dir + bad + ".Vyx\n")
                                         : left.starts_with("Ogawa") && left.find("Good") != std::string::npos)
                        << at;
                    before.insert("out");
                }
                EXPECT_EQ(e.names(), before) << at;
            }
}

// An output that is one of the list's meshes, however it is spelt, is
// refused before anything is written.
TEST(FailedExports, OutputThatIsAMeshIsRefused)
{
    Exports e;
    e.mesh("Other", vyxMeshFile(quadAndTriangle()));
    VyxMeshData other = quadAndTriangle();
    other.vertices[0] = 5;
    Bytes cube = vyxMeshFile(other);
    e.mesh("Cube", cube);
    std::filesystem::create_directory(e.path("sub"));
    std::filesystem::create_hard_link(e.path("Cube.Vyx"), e.path("hard.dae"));
    // A symbolic link where the system lets the test make one.
    std::error_code linkError;
    std::filesystem::create_symlink(e.path("Cube.Vyx"), e.path("link.dae"), linkError);
    struct Spelling
    {
        std::string output, meshFolder;
    };
    const Spelling spellings[] = {
        {e.dir + "Cube.Vyx", ""},           {e.dir + "./Cube.Vyx", ""},  {e.dir + "sub/../Cube.Vyx", ""},
        {e.dir + "Cube.Vyx", e.dir + "./"}, {e.dir + "hard.dae", ""},    {e.dir + "link.dae", ""},
        {"Cube.Vyx", e.dir},                {e.dir + "Cube.Vyx", "./"},
    };
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(e.folder.path);
    std::set<std::string> before = e.names();
    for (const ExportCommand& command : kExports)
        for (const Spelling& s : spellings)
        {
            if (linkError && s.output.ends_with("link.dae"))
                continue;
            e.mesh("Cube", cube); // in place: the links stay
            std::string at = std::string(command.name) + " " + s.output + " from " + s.meshFolder;
            EXPECT_EQ(e.run(command, s.output, {"Other", "Cube"}, s.meshFolder), command.refused) << at;
            EXPECT_EQ(readFile(e.path("Cube.Vyx")), std::string(cube.begin(), cube.end())) << at;
            EXPECT_EQ(e.names(), before) << at;
        }
    std::filesystem::current_path(previous);
}

// NaN and the infinities in the positions or the texture coordinates the
// exports write make the mesh unreadable; in a triangle's fourth pair, which
// neither writes, they change nothing.
TEST(FailedExports, NonFiniteNumbersAreUnreadable)
{
    Exports e;
    struct Place
    {
        const char* name;
        bool written;
        void (*put)(VyxMeshData&, float);
    };
    const Place places[] = {
        {"position", true, [](VyxMeshData& m, float v) { m.vertices[7] = v; }},
        {"quad's UV", true, [](VyxMeshData& m, float v) { m.faceUVs[6] = v; }},
        {"triangle's UV", true, [](VyxMeshData& m, float v) { m.faceUVs[13] = v; }},
        {"six-float UV", true,
         [](VyxMeshData& m, float v) {
             m.faceUVs = {0, 0, 1, 0, 1, 1, 1, 1, 0, 1, v, 0};
             m.uvTag = 25002;
         }},
        {"triangle's fourth pair", false, [](VyxMeshData& m, float v) { m.faceUVs[14] = v; }},
    };
    const float values[] = {std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()};
    for (const Place& place : places)
        for (float value : values)
        {
            VyxMeshData data = quadAndTriangle();
            place.put(data, value);
            e.mesh("M", vyxMeshFile(data));
            for (const ExportCommand& command : kExports)
                EXPECT_EQ(e.run(command, e.dir + "out", {"M"}), place.written ? command.unreadable : 0)
                    << command.name << " " << place.name << " " << value;
        }
}
