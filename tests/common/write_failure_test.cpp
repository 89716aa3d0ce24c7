// A full disk, a file-size limit or a removed medium never ends the host:
// every command that writes a file is called through the built library with
// the file-size limit cut at every size up to its whole output (SIGXFSZ
// ignored, so the write fails as on a full disk), and each call must answer
// the command's failure result, leave no temporary file, and leave the files
// as the command's rules say.
#include "tests/support/file_size_limit.h"
#include "tests/support/library.h"
#include "tests/support/vyx_writer.h"
#include "tests/support/scratch.h"
#include "tests/support/update_server.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <functional>

namespace
{
std::string contents(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()) : "<none>";
}

// Names no command may leave behind: its temporary files begin with ".".
size_t temporaries(const Scratch& s)
{
    size_t found = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(s.root))
        found += entry.path().filename().string()[0] == '.';
    return found;
}

struct WriteSweep : ::testing::Test
{
    LoadedLibrary library{libraryPath("TesmarLauncherDLL")};
    Scratch s;
    void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
    ~WriteSweep() override { signal(SIGXFSZ, previous); }

    HostCommandEntry command(const char* name) const
    {
        HostCommandEntry found = library.command(name);
        EXPECT_TRUE(found) << name;
        return found;
    }

    // Prepares and calls under limits from 0 to whole bytes, where the
    // output fits; check sees each limit and the answer. Every limit up to 64
    // bytes, then every 4th: past their first bytes the outputs are written
    // 4 bytes or more at a time (the archive's shortest writes are 4-byte
    // numbers), so each write still fails in turn.
    void sweep(size_t whole, const std::function<void()>& prepare, const std::function<float()>& call,
               const std::function<void(size_t, float)>& check)
    {
        for (size_t limit = 0; limit <= whole; limit = limit < 64 ? limit + 1 : std::min(limit + 4, whole))
        {
            prepare();
            float result = 0;
            {
                FileSizeLimit cut(limit);
                result = call();
            }
            check(limit, result);
            ASSERT_EQ(temporaries(s), 0u) << "limit " << limit;
            if (HasFailure() || limit == whole)
                return;
        }
    }
};

std::string meshList(const Scratch& s, const std::vector<std::string>& names)
{
    std::string list = s.root.string() + "/" + '\0';
    for (const std::string& name : names)
        list += name + '\0';
    return list;
}
}

// Both exports: a document or archive that could not be finished never
// takes the place of the earlier file, which stays as it was.
TEST_F(WriteSweep, Exports)
{
    ASSERT_TRUE(writeBytes(s.path("A.Vyx"), vyxMeshFile(vyxQuadGrid(1, 1))));
    for (const char* name : {"doExportCollada", "doAddMeshes"})
    {
        // The archive writes each object as it goes, the document the whole
        // of itself from one block of memory once it is complete (whatever it
        // holds, below a megabyte): the document's skeleton serves as well as
        // any and keeps the sweep short.
        bool document = std::string(name) == "doExportCollada";
        std::string out = s.path("out"), list = document ? meshList(s, {}) : meshList(s, {"A"});
        HostCommandEntry export_ = command(name);
        auto call = [&] { return export_(out.c_str(), 0, list.data(), int32_t(list.size()), nullptr, 0, nullptr); };
        auto prepare = [&] { s.file("out", "earlier"); };
        prepare();
        ASSERT_EQ(call(), 0) << name;
        size_t whole = contents(out).size(); // the document's time stamp aside, the same each time
        sweep(whole, prepare, call, [&](size_t limit, float result) {
            bool fits = limit == whole;
            EXPECT_EQ(result, fits ? 0 : -1) << name << " limit " << limit;
            if (fits)
            {
                EXPECT_EQ(contents(out).size(), whole) << name;
            }
            else
            {
                EXPECT_EQ(contents(out), "earlier") << name << " limit " << limit;
            }
        });
    }

    // The fixed archive of TestAlembic, in the current folder, written in
    // the same way.
    std::filesystem::path folder = std::filesystem::current_path();
    std::filesystem::current_path(s.root);
    HostCommandEntry test = command("TestAlembic");
    ASSERT_EQ(test(nullptr, 0, nullptr, 0, nullptr, 0, nullptr), 3);
    std::string archive = contents("happy.abc");
    sweep(archive.size(), [&] { s.file("happy.abc", "earlier"); },
          [&] { return test(nullptr, 0, nullptr, 0, nullptr, 0, nullptr); }, [&](size_t limit, float result) {
              EXPECT_EQ(result, 3);
              EXPECT_EQ(contents("happy.abc"), limit == archive.size() ? archive : "earlier") << limit;
          });
    std::filesystem::current_path(folder);
}

// A copy that failed leaves no destination, as a missing source does; the
// command answers 0 either way.
TEST_F(WriteSweep, FileCopyTo)
{
    std::string source = s.file("source", std::string(700, 'c')), target = s.path("copy");
    HostCommandEntry copy = command("FileCopyTo");
    sweep(
        700, [&] { s.file("copy", "earlier"); },
        [&] { return copy(source.c_str(), 0, target.data(), 0, nullptr, 0, nullptr); },
        [&](size_t limit, float result) {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(contents(target), limit == 700 ? contents(source) : "<none>") << limit;
        });
}

// The update check writes update.dat (the download), then the settings: a
// download that did not fit answers 5 and changes nothing; settings that did
// not fit answer -77 and stay as they were, beside the new update.dat.
TEST_F(WriteSweep, UpdateCheck)
{
    const std::string served = "<2021>\n<EN><timestamp>2021-03-04 05:06:07</timestamp>\n</EN>\n</2021>\n";
    const std::string settings = "s_option=1 " + std::string(120, 's') + "\n";
    const std::string earlier = "<timestamp>2020-01-01 00:00:00\n";
    std::string data = s.file("served", served);
    s.folder("home");
    std::string path = s.path("home/settings.txt");
    UpdateServer server(utf8Text(s.root));
    ASSERT_GT(server.port, 0);
    size_t rewritten = 0;
    // A web address once: the body reaches the disk through libcurl.
    const std::pair<const char*, std::string> checks[] = {{"CheckUpdateJA", "file://" + data},
                                                          {"CheckUpdateALL", "file://" + data},
                                                          {"CheckUpdateHP", "file://" + data},
                                                          {"CheckUpdateJA", server.url("served")}};
    for (const auto& [name, address] : checks)
    {
        HostCommandEntry check = command(name);
        char url[512];
        auto prepare = [&] {
            s.file("home/settings.txt", settings);
            s.file("home/update.dat", earlier);
            snprintf(url, sizeof url, "%s", address.c_str());
        };
        auto call = [&] { return check(path.c_str(), 0, url, sizeof url, nullptr, 0, nullptr); };
        prepare();
        ASSERT_EQ(call(), -6) << name;
        rewritten = contents(path).size();
        ASSERT_GT(rewritten, served.size());
        sweep(rewritten, prepare, call, [&](size_t limit, float result) {
            bool downloaded = limit >= served.size(), done = limit == rewritten;
            EXPECT_EQ(result, done ? -6 : downloaded ? -77 : 5) << name << " limit " << limit;
            EXPECT_EQ(contents(s.path("home/update.dat")), downloaded ? served : earlier) << name << " " << limit;
            if (!done)
            {
                EXPECT_EQ(contents(path), settings) << name << " limit " << limit;
            }
        });
    }
}
