// The download rules on the platform double: what each address and answer
// makes the download ask of the network services, and what comes of it.
#include "download/download.h"
#include "tests/support/platform_double.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

namespace
{
HttpAnswer answer(int32_t status, std::string body, std::vector<std::string> lengths = {})
{
    HttpAnswer made;
    made.status = status;
    made.body = std::move(body);
    made.lengths = std::move(lengths);
    return made;
}

HttpAnswer redirect(std::string location)
{
    HttpAnswer made = answer(302, "");
    made.location = std::move(location);
    return made;
}

HttpAnswer chunked(bool lastChunk, std::vector<std::string> lengths = {})
{
    HttpAnswer made = answer(200, "x", std::move(lengths));
    made.chunked = true;
    made.lastChunk = lastChunk;
    return made;
}

// A fetch of url against the double's answers, and the exchanges it asked
// for as the double records them.
struct Fetch
{
    PlatformDouble platform;
    bool fetched = false;
    std::string body;
    std::vector<std::string> asked;

    Fetch(const std::string& url, std::vector<HttpAnswer> answers, std::map<std::string, std::string> files = {})
    {
        platform.httpAnswers = std::move(answers);
        platform.files = std::move(files);
        fetched = fetch(url, body);
        for (const std::string& call : platform.calls)
            if (call.starts_with("httpExchange "))
                asked.push_back(call.substr(13));
    }
};
}

// Each address asks for its own scheme, host, port and target, dot segments
// removed and the fragment dropped; a redirect's is resolved against the
// address it came from. Only http and https are asked for ("": nothing).
TEST(Download, AddressesAndRedirectsAskFor)
{
    const char base[] = "http://h:8/a/b/c?q#f";
    const std::pair<std::string, std::string> redirects[] = {
        {"http://other/x", "http://other:80/x"},   {"HTTPS://Other:99/x", "https://other:99/x"},
        {"//srv/p", "http://srv:80/p"},            {"/p?q2", "http://h:8/p?q2"},
        {"d", "http://h:8/a/b/d"},                 {"../d", "http://h:8/a/d"},
        {"./d/./e/../f", "http://h:8/a/b/d/f"},    {"../../../../d", "http://h:8/d"},
        {"?y", "http://h:8/a/b/c?y"},              {"#top", "http://h:8/a/b/c?q"},
        {"d e/caf\xc3\xa9", "http://h:8/a/b/d%20e/caf%C3%A9"},
        {"http://[::1]:8/", "http://[::1]:8/"},    {"http://h:8/a/../../x/.", "http://h:8/x/"},
        {"file:///etc/passwd", ""},                {"ftp://h/x", ""},
        {"gopher://h/", ""},                       {"telnet://h", ""},
        {"http:x", ""},                            {"http://:8/x", ""},
        {"http://h:99999/x", ""},                  {"http://h:0/x", ""},
        {"http://h:8x/", ""},                      {"/x\r\nHost: y", ""},
    };
    for (const auto& [location, expected] : redirects)
    {
        Fetch f(base, {redirect(location), answer(200, "x")});
        std::vector<std::string> asked = {"http://h:8/a/b/c?q"};
        if (!expected.empty())
            asked.push_back(expected);
        EXPECT_EQ(f.asked, asked) << location;
        EXPECT_EQ(f.fetched, !expected.empty()) << location;
    }
    for (const char* first : {"ftp://h/x", "dict://h/x", "ldap://h", "h/data", "//h/data", "", "data:,x", "http:/x"})
    {
        Fetch f(first, {answer(200, "x")});
        EXPECT_FALSE(f.fetched) << first;
        EXPECT_TRUE(f.asked.empty()) << first;
    }
}

// The first address's user:password goes as Basic credentials to its own
// scheme, host and port only, wherever a redirect leads; a redirect's own
// go nowhere.
TEST(Download, CredentialsStayWithTheirServer)
{
    const std::string auth = " Authorization: Basic dXNlcjpwQHNz"; // user:p@ss
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"http://user:p%40ss@h:8/", "/private", "http://h:8/private" + auth},
        {"http://user:p%40ss@H/", "http://h:80/x", "http://h:80/x" + auth},
        {"http://user:p%40ss@h:8/", "http://h/x", "http://h:80/x"},
        {"http://user:p%40ss@h:8/", "https://h:8/x", "https://h:8/x"},
        {"http://user:p%40ss@h:8/", "http://localhost:8/x", "http://localhost:8/x"},
        {"http://h:8/", "http://user:p%40ss@h:8/x", "http://h:8/x"},
        {"http://user@h:8/", "/x", "http://h:8/x Authorization: Basic dXNlcjo="},
    };
    for (const auto& [first, location, second] : cases)
    {
        Fetch f(first, {redirect(location), answer(200, "x")});
        ASSERT_EQ(f.asked.size(), 2u) << first;
        EXPECT_EQ(f.asked[0].find(" Authorization") != std::string::npos, first.find('@') != std::string::npos);
        EXPECT_EQ(f.asked[1], second) << first << " " << location;
    }
}

// A body is taken only when whole: every length announced one number and
// the bytes received, or a chunked body with its last chunk, at most the
// limit, from a status below 400; an empty one is nothing received.
TEST(Download, OnlyWholeBodiesAreStored)
{
    HttpAnswer tooMany = answer(200, "x", {"1"});
    tooMany.tooManyLengths = true;
    HttpAnswer notMoved = redirect("/elsewhere");
    notMoved.status = 304;
    notMoved.body = "x";
    const std::pair<HttpAnswer, bool> answers[] = {
        {answer(200, "x"), true},          {answer(200, "x", {"1"}), true},     {answer(200, "x", {"1", "1"}), true},
        {answer(200, "x", {"01"}), true},  {answer(200, "x", {"1", "2"}), false}, {answer(200, "x", {"2"}), false},
        {answer(200, "x", {"x"}), false},  {answer(200, "x", {""}), false},     {answer(200, "x", {"-1"}), false},
        {tooMany, false},                  {chunked(true), true},               {chunked(false), false},
        {chunked(true, {"7"}), true},      {chunked(true, {"1", "2"}), false},  {answer(203, "x"), true},
        {answer(399, "x"), true},          {notMoved, true},                    {answer(404, "x"), false},
        {answer(500, "x"), false},         {answer(204, ""), false},            {answer(200, ""), false},
        {answer(200, std::string(kDownloadLimit, 'x')), true},
        {answer(200, std::string(kDownloadLimit + 1, 'x')), false},
    };
    Scratch scratch;
    std::string target = scratch.file("target", "before");
    for (const auto& [given, stored] : answers)
    {
        PlatformDouble platform;
        platform.httpAnswers = {given};
        EXPECT_EQ(download("http://h/data", target.c_str()), stored) << given.status << " " << given.body.size();
        std::ifstream file(target, std::ios::binary);
        std::string now((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        EXPECT_EQ(now, stored ? given.body : "before");
        scratch.file("target", "before");
        ASSERT_EQ(platform.httpRequests.size(), 1u);
        EXPECT_EQ(platform.httpRequests[0].limit, kDownloadLimit);
    }
    PlatformDouble platform;
    platform.httpAnswers = {answer(200, "x")};
    EXPECT_FALSE(download("http://h/data", "relative"));
    EXPECT_TRUE(platform.httpRequests.empty());
}

// Thirty redirects are followed and the thirty-first is not; every exchange
// of one download shares its one deadline, no-cache headers and limit.
TEST(Download, RedirectsShareOneDeadline)
{
    for (int redirects : {kDownloadRedirects, kDownloadRedirects + 1})
    {
        auto start = std::chrono::steady_clock::now();
        std::vector<HttpAnswer> answers(size_t(redirects), redirect("/again"));
        answers.push_back(answer(200, "x"));
        Fetch f("http://h/first", answers);
        auto end = std::chrono::steady_clock::now();
        EXPECT_EQ(f.fetched, redirects == kDownloadRedirects);
        ASSERT_EQ(f.asked.size(), size_t(std::min(redirects, kDownloadRedirects) + 1));
        for (const HttpRequest& request : f.platform.httpRequests)
        {
            EXPECT_EQ(request.deadline, f.platform.httpRequests[0].deadline);
            EXPECT_EQ(request.headers, (std::vector<std::string>{"Cache-Control: no-cache", "Pragma: no-cache"}));
        }
        EXPECT_GE(f.platform.httpRequests[0].deadline, start + kDownloadTime);
        EXPECT_LE(f.platform.httpRequests[0].deadline, end + kDownloadTime);
    }
}

// A file address names a file of this machine: its host empty or
// localhost, its path percent-decoded, "/C:/x" a drive's path on Windows.
// It is read through the file services, never asked of the network.
TEST(Download, FileAddressesNameLocalFiles)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"file:///srv/a%20b", "/srv/a b", "/srv/a b"},
        {"FILE://LocalHost/srv/x?q#f", "/srv/x", "/srv/x"},
        {"file:/srv/x", "/srv/x", "/srv/x"},
        {"file:///a/./b/../c", "/a/c", "/a/c"},
        {"file:///C:/x/y.dat", "/C:/x/y.dat", "C:/x/y.dat"},
        {"file:///c%3A/x", "/c:/x", "c:/x"},
        {"file://server/share/x", "", ""},
        {"file://127.0.0.1/x", "", ""},
        {"file://user@localhost/x", "", ""},
        {"file:///srv/%00x", "", ""},
        {"file://", "", ""},
    };
    for (const auto& [address, posix, windows] : cases)
    {
        for (auto [style, expected] : {std::pair{PathStyle::Posix, posix}, {PathStyle::Windows, windows}})
        {
            std::string path;
            EXPECT_EQ(fileAddressPath(address, style, path), *expected != 0) << address;
            EXPECT_EQ(*expected ? path : "", expected) << address;
        }
        Fetch f(address, {answer(200, "web")}, {{posix, "local"}});
        EXPECT_EQ(f.fetched, *posix != 0) << address;
        EXPECT_EQ(f.body, *posix ? "local" : "") << address;
        EXPECT_TRUE(f.asked.empty()) << address;
    }
}
