// The update check against real files while each file service it uses fails
// at each of its calls in turn: nothing is left behind, each file is as it
// was or as a check that went well leaves it, and no failure reads as success.
#include "homepage/homepage.h"
#include "tests/support/failing_platform.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

namespace
{
struct Sweep
{
    Scratch home;
    std::string url = "file://" + home.file("served.dat", "<2021>\n<url>http://pages/en</url>\n"
                                                          "<timestamp>2021-03-04 05:06:07</timestamp>\n</2021>\n");
    std::string before[2] = {"s_option=1\n", "<timestamp>2020-01-01 00:00:00\n"}, after[2];
    float clean = run(after);

    // A check of the year block against newer data: it downloads, reads and
    // rewrites the settings; files receives the two files it leaves.
    float run(std::string (&files)[2])
    {
        home.file("settings.txt", before[0]);
        home.file("update.dat", before[1]);
        char buffer1[128];
        float result = checkUpdate(UpdateVariant::YearBlock, home.path("settings.txt").c_str(), 0, url.c_str(),
                                   buffer1, sizeof buffer1);
        for (int i = 0; i < 2; i++)
            files[i] = (std::stringstream() << std::ifstream(home.path(i ? "update.dat" : "settings.txt")).rdbuf()).str();
        return result;
    }

    template <auto Service>
    void failEachCall(const char* name)
    {
        long n = 1;
        for (;; n++)
        {
            FailingPlatform<Service> platform(n);
            std::string now[2];
            float result = run(now);
            if (!platform.fired)
                break;
            for (int i = 0; i < 2; i++)
                EXPECT_TRUE(now[i] == before[i] || now[i] == after[i]) << name << " " << n;
            EXPECT_TRUE(result != clean || now[1] == after[1]) << name << " " << n << ": a failure read as success";
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.root), {}), 3) << name << " " << n;
        }
        EXPECT_GT(n, 1) << "the check never called " << name;
    }
};
}

TEST(UpdateFaults, EveryFileServiceFailingAtEveryCall)
{
    Sweep s;
    ASSERT_NE(s.after[1], s.before[1]) << "the clean check must change update.dat";
    s.failEachCall<&FileServices::readFile>("readFile");
    s.failEachCall<&FileServices::replaceFile>("replaceFile");
}
