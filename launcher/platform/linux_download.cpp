// Downloads on libcurl: one second for the whole transfer, no cached copy,
// and the target replaced only by a complete body. Web addresses only go
// through libcurl; a file address is read here, as every other input file is.
#include "common/host_path.h"
#include "file_rules.h"
#include "linux_platform.h"

// The protocols' bit masks, kept for libcurl older than 7.85.
#define CURL_DISABLE_DEPRECATION
#include <curl/curl.h>
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string_view>

namespace
{
using Clock = std::chrono::steady_clock;
const long kMilliseconds = 1000;
// More lengths than this in one answer are refused unread: finding each
// costs a walk through all the headers.
const size_t kLengthHeaders = 8;

// The body is kept in memory and stored once complete: a server sending
// one-byte chunks costs an append each, not a write to the disk.
struct Body
{
    std::string bytes;
    Clock::time_point deadline;
    // The Content-Length values of the answer whose headers are being read
    // (a redirect's, then the last one's): how many, the first, and whether
    // one differs from it or there are too many to look at.
    size_t lengths = 0;
    std::string length;
    bool lengthsDisagree = false;
};

struct CurlCleanup
{
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
    void operator()(char* text) const { curl_free(text); }
};
using CurlText = std::unique_ptr<char, CurlCleanup>;

// The scheme of an address, in lower case as libcurl gives it; a missing
// scheme reads as http, as libcurl would take it. False when the address
// does not parse.
bool addressScheme(CURLU* parsed, const char* url, std::string& scheme)
{
    char* part = nullptr;
    if (curl_url_set(parsed, CURLUPART_URL, url, CURLU_GUESS_SCHEME | CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK ||
        curl_url_get(parsed, CURLUPART_SCHEME, &part, 0) != CURLUE_OK)
        return false;
    CurlText owned(part);
    scheme = part;
    return true;
}

// Stores the file a file address names. It names a file of this machine:
// libcurl gives no host for one without a host or with localhost.
bool storeLocalFile(CURLU* parsed, const char* path)
{
    char* host = nullptr;
    char* file = nullptr;
    CURLUcode hostCode = curl_url_get(parsed, CURLUPART_HOST, &host, 0);
    CurlText ownedHost(host);
    if (hostCode != CURLUE_NO_HOST)
        return false;
    if (curl_url_get(parsed, CURLUPART_PATH, &file, CURLU_URLDECODE) != CURLUE_OK)
        return false;
    CurlText ownedFile(file);
    // Opened without blocking, and read only when it is a regular file: a
    // FIFO or a device there would hold the host for ever. Nothing read is
    // no update.
    std::string body;
    return readWholeFile(file, kDownloadLimit, body) && storeDownloaded(body, path);
}
}

// Returning less than it was given makes libcurl end the transfer as failed.
// libcurl looks at its clock only between reads of its socket, each of which
// may hand over thousands of chunks: the deadline is checked here too.
static size_t writeBody(char* data, size_t size, size_t count, void* context)
{
    Body* body = static_cast<Body*>(context);
    size_t bytes = size * count;
    if (bytes > kDownloadLimit - body->bytes.size() || Clock::now() >= body->deadline)
        return 0;
    body->bytes.append(data, bytes);
    return bytes;
}

// Each header line of each answer, its status line first. All the lengths
// the last answer announces must agree: two that differ leave no way to tell
// where the body ends. Read from the lines as they come rather than asked of
// libcurl afterwards, which older libcurl (before 7.83) cannot answer.
static size_t readHeader(char* data, size_t size, size_t count, void* context)
{
    Body* body = static_cast<Body*>(context);
    std::string_view line(data, size * count);
    if (line.starts_with("HTTP/"))
    {
        body->lengths = 0;
        body->lengthsDisagree = false;
        return line.size();
    }
    constexpr std::string_view name = "content-length:";
    if (line.size() < name.size() ||
        !std::equal(name.begin(), name.end(), line.begin(), [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? char(b + 32) : b); }))
        return line.size();
    std::string_view value = line.substr(name.size());
    value.remove_prefix(std::min(value.find_first_not_of(" \t"), value.size()));
    value = value.substr(0, value.find_last_not_of(" \t\r\n") + 1);
    if (body->lengths++ == 0)
        body->length = value;
    else if (value != body->length || body->lengths > kLengthHeaders)
        body->lengthsDisagree = true;
    return line.size();
}

// Web addresses only, and redirects only to them. The lists by name came
// with libcurl 7.85; an older one takes the bit masks.
static void allowWebOnly(CURL* curl)
{
    if (curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https") != CURLE_OK)
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS));
    if (curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") != CURLE_OK)
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS));
}

// A name being looked up when the deadline comes is left to libcurl's
// resolver thread, which runs on in libcurl after the download returns, and
// after the host unloads this library: libcurl is kept loaded for it.
static bool keepLibcurlLoaded()
{
    Dl_info info{};
    return dladdr(reinterpret_cast<void*>(&curl_easy_perform), &info) && info.dli_fname &&
           dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
}

bool linuxDownload(const char* url, const char* path)
{
    if (!isNativeAbsolutePath(path, kSystemPathStyle))
        return false;
    std::unique_ptr<CURLU, CurlCleanup> parsed(curl_url());
    std::string scheme;
    if (!parsed || !addressScheme(parsed.get(), url, scheme))
        return false;
    if (scheme == "file")
        return storeLocalFile(parsed.get(), path);
    // Any other scheme libcurl knows could read or send what it should not
    // (telnet reads the host's standard input), here or after a redirect.
    if (scheme != "http" && scheme != "https")
        return false;
    static const bool pinned = keepLibcurlLoaded();
    if (!pinned)
        return false;
    Body body;
    body.deadline = Clock::now() + std::chrono::milliseconds(kMilliseconds);
    std::unique_ptr<CURL, CurlCleanup> curl(curl_easy_init());
    if (!curl)
        return false;
    std::unique_ptr<curl_slist, CurlCleanup> headers(curl_slist_append(nullptr, "Cache-Control: no-cache"));
    curl_slist* all = headers ? curl_slist_append(headers.get(), "Pragma: no-cache") : nullptr;
    if (!all)
        return false;
    curl_easy_setopt(curl.get(), CURLOPT_URL, url);
    allowWebOnly(curl.get());
    curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, all);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, kMilliseconds);
    // At the deadline the resolver thread is left to end on its own: libcurl
    // would otherwise wait for the lookup, however long it takes.
    curl_easy_setopt(curl.get(), CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_MAXFILESIZE_LARGE, curl_off_t(kDownloadLimit));
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl.get(), CURLOPT_HEADERFUNCTION, readHeader);
    curl_easy_setopt(curl.get(), CURLOPT_HEADERDATA, &body);
    // An empty body (a 204, or a 200 without content) is nothing received.
    return curl_easy_perform(curl.get()) == CURLE_OK && !body.lengthsDisagree && storeDownloaded(body.bytes, path);
}
