// The update check against real files while each file service it uses
// fails at each of its calls in turn: the host lives, nothing is left
// behind, and each file is as it was or as a check that went well leaves it.
#include "homepage/homepage.h"
#include "tests/support/failing_platform.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

namespace
{
std::string contents(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

size_t entries(const Scratch& s)
{
    return size_t(std::distance(std::filesystem::directory_iterator(s.root), std::filesystem::directory_iterator()));
}

struct Files
{
    std::string settings, update;
};

// A check of the year block against served data newer than what is stored:
// it downloads, reads, and rewrites the settings.
struct Sweep
{
    Scratch home;
    std::string served = home.file("served.dat", "<2021>\n<url>http://pages/en</url><width>640</width>\n"
                                                 "<timestamp>2021-03-04 05:06:07</timestamp>\n</2021>\n");
    std::string settings = home.path("settings.txt");
    Files before{"s_option=1\n", "<timestamp>2020-01-01 00:00:00\n"};

    float check(char* buffer1, int32_t size)
    {
        home.file("settings.txt", before.settings);
        home.file("update.dat", before.update);
        std::string url = "file://" + served;
        return checkUpdate(UpdateVariant::YearBlock, settings.c_str(), 0, url.c_str(), buffer1, size);
    }
    Files files() const { return {contents(settings), contents(home.path("update.dat"))}; }
};
}

TEST(UpdateFaults, EveryFileServiceFailingAtEveryCall)
{
    Sweep s;
    char buffer1[128];
    float clean = s.check(buffer1, sizeof buffer1);
    Files after = s.files();
    ASSERT_NE(after.update, s.before.update) << "the clean check must change the files for the sweep to mean anything";
    size_t files = entries(s.home);

    auto sweep = [&](auto service, const char* name) {
        long n = 1;
        for (;; n++)
        {
            float result;
            {
                FailingPlatform platform(service, n);
                result = s.check(buffer1, sizeof buffer1);
                if (!platform.fired())
                {
                    EXPECT_EQ(result, clean) << name;
                    break;
                }
            }
            Files now = s.files();
            EXPECT_TRUE(now.settings == s.before.settings || now.settings == after.settings) << name << " " << n;
            EXPECT_TRUE(now.update == s.before.update || now.update == after.update) << name << " " << n;
            EXPECT_EQ(entries(s.home), files) << name << " call " << n << " left a file behind";
            if (result == clean)
            {
                EXPECT_EQ(now.update, after.update) << name << " " << n << ": a failure reported as success";
            }
        }
        EXPECT_GT(n, 1) << "the check never called " << name;
    };
    sweep(service<&PlatformServices::readFile>, "readFile");
    sweep(service<&PlatformServices::replaceFile>, "replaceFile");
    sweep(service<&PlatformServices::download>, "download");
}
