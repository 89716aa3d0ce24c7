// Downloads on libcurl: one second for the whole transfer, no cached copy,
// and the target replaced only by a complete body.
#include "linux_platform.h"

#include <curl/curl.h>
#include <unistd.h>

#include <memory>

// Bodies larger than this are refused: update data is a few kilobytes.
static const size_t kDownloadLimit = size_t(16) << 20;

namespace
{
struct Body
{
    TemporaryFile file;
    size_t received = 0;
};

struct CurlCleanup
{
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
}

// Returning less than it was given makes libcurl end the transfer as failed.
static size_t writeBody(char* data, size_t size, size_t count, void* context)
{
    Body* body = static_cast<Body*>(context);
    size_t bytes = size * count;
    if (bytes > kDownloadLimit - body->received || !body->file.write(data, bytes))
        return 0;
    body->received += bytes;
    return bytes;
}

bool linuxDownload(const char* url, const char* path)
{
    if (path[0] != '/')
        return false;
    Body body;
    if (!body.file.create(path, ".download-"))
        return false;
    std::unique_ptr<CURL, CurlCleanup> curl(curl_easy_init());
    if (!curl)
        return false;
    std::unique_ptr<curl_slist, CurlCleanup> headers(curl_slist_append(nullptr, "Cache-Control: no-cache"));
    curl_slist* all = headers ? curl_slist_append(headers.get(), "Pragma: no-cache") : nullptr;
    if (!all)
        return false;
    curl_easy_setopt(curl.get(), CURLOPT_URL, url);
    curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, all);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, 1000L);
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_MAXFILESIZE_LARGE, curl_off_t(kDownloadLimit));
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &body);
    // An empty body (a 204, or a 200 without content) is nothing received.
    if (curl_easy_perform(curl.get()) != CURLE_OK || body.received == 0)
        return false;
    return body.file.replace(path, true);
}
