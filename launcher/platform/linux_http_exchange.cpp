// One HTTP exchange on libcurl: the request as given, no redirect followed,
// and the body kept in memory (a server sending one-byte chunks costs an
// append each, not a write to the disk).
#include "linux_platform.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <algorithm>
#include <memory>
#include <string_view>

namespace
{
using Clock = std::chrono::steady_clock;

struct Exchange
{
    const HttpRequest& request;
    HttpAnswer& answer;
};

struct CurlCleanup
{
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

// The value of a header line of the given name (in lower case, with its
// ":"), blanks trimmed; false for a line of another header.
bool headerValue(std::string_view line, std::string_view name, std::string_view& value)
{
    if (line.size() < name.size() ||
        !std::equal(name.begin(), name.end(), line.begin(), [](char a, char b) { return a == lower(b); }))
        return false;
    value = line.substr(name.size());
    value.remove_prefix(std::min(value.find_first_not_of(" \t"), value.size()));
    value = value.substr(0, value.find_last_not_of(" \t\r\n") + 1);
    return true;
}

// A name being looked up when the deadline comes is left to libcurl's
// resolver thread, which runs on in libcurl after the exchange returns, and
// after the host unloads this library: libcurl is kept loaded for it.
bool keepLibcurlLoaded()
{
    Dl_info info{};
    return dladdr(reinterpret_cast<void*>(&curl_easy_perform), &info) && info.dli_fname &&
           dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
}
}

// Returning less than it was given makes libcurl end the transfer as failed.
// libcurl looks at its clock only between reads of its socket, each of which
// may hand over thousands of chunks: the deadline is checked here too.
static size_t writeBody(char* data, size_t size, size_t count, void* context)
{
    Exchange& exchange = *static_cast<Exchange*>(context);
    std::string& body = exchange.answer.body;
    size_t bytes = size * count;
    if (bytes > exchange.request.limit - body.size() || Clock::now() >= exchange.request.deadline)
        return 0;
    body.append(data, bytes);
    return bytes;
}

// Each header line of each answer, its status line first: an interim answer
// (100 Continue) is followed by the real one. Read from the lines as they
// come rather than asked of libcurl afterwards, which older libcurl (before
// 7.83) cannot answer.
static size_t readHeader(char* data, size_t size, size_t count, void* context)
{
    HttpAnswer& answer = *static_cast<HttpAnswer*>(context);
    std::string_view line(data, size * count), value;
    if (line.starts_with("HTTP/"))
        answer = HttpAnswer();
    else if (headerValue(line, "content-length:", value))
    {
        answer.tooManyLengths = answer.tooManyLengths || answer.lengths.size() == kAnswerLengths;
        if (!answer.tooManyLengths)
            answer.lengths.emplace_back(value);
    }
    else if (headerValue(line, "location:", value))
        answer.location = value;
    else if (headerValue(line, "transfer-encoding:", value))
    {
        std::string encoding(value);
        std::transform(encoding.begin(), encoding.end(), encoding.begin(), lower);
        answer.chunked = encoding.find("chunked") != std::string::npos;
    }
    return line.size();
}

static void setOptions(CURL* curl, const std::string& url, curl_slist* headers, long milliseconds, Exchange& exchange)
{
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    // The target goes as the caller made it, dot segments and all.
    curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, milliseconds);
    // At the deadline the resolver thread is left to end on its own: libcurl
    // would otherwise wait for the lookup, however long it takes.
    curl_easy_setopt(curl, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(exchange.request.limit));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &exchange);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, readHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &exchange.answer);
}

bool linuxHttpExchange(const HttpRequest& request, HttpAnswer& answer)
{
    static const bool pinned = keepLibcurlLoaded();
    long left = long(std::chrono::duration_cast<std::chrono::milliseconds>(request.deadline - Clock::now()).count());
    std::unique_ptr<CURL, CurlCleanup> curl(curl_easy_init());
    if (!pinned || left <= 0 || !curl)
        return false;
    std::unique_ptr<curl_slist, CurlCleanup> headers;
    for (const std::string& line : request.headers)
    {
        curl_slist* all = curl_slist_append(headers.get(), line.c_str());
        if (!all)
            return false;
        if (!headers)
            headers.reset(all);
    }
    std::string url = (request.secure ? "https://" : "http://") + request.host + ":" + std::to_string(request.port) +
                      request.target;
    answer = HttpAnswer();
    Exchange exchange{request, answer};
    setOptions(curl.get(), url, headers.get(), left, exchange);
    long status = 0;
    if (curl_easy_perform(curl.get()) != CURLE_OK ||
        curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status) != CURLE_OK)
        return false;
    answer.status = int32_t(status);
    // libcurl fails a chunked body that ends before its last chunk.
    answer.lastChunk = answer.chunked;
    return true;
}
