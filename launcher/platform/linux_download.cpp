// Downloads on libcurl: one second for the whole transfer, no cached copy,
// and the target replaced only by a complete body.
#include "linux_platform.h"

#include <curl/curl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

static size_t writeBody(char* data, size_t size, size_t count, void* file)
{
    return fwrite(data, size, count, static_cast<FILE*>(file)) * size;
}

bool linuxDownload(const char* url, const char* path)
{
    if (path[0] != '/')
        return false;
    std::string folder = std::filesystem::path(path).parent_path().string();
    std::string temporary = folder + "/.download-XXXXXX";
    int descriptor = mkstemp(temporary.data());
    if (descriptor < 0)
        return false;
    FILE* file = fdopen(descriptor, "wb");
    CURL* curl = file ? curl_easy_init() : nullptr;
    bool ok = false;
    if (curl)
    {
        curl_slist* headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
        headers = curl_slist_append(headers, "Pragma: no-cache");
        curl_easy_setopt(curl, CURLOPT_URL, url);
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 1000L);
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, file);
        ok = curl_easy_perform(curl) == CURLE_OK;
        curl_easy_cleanup(curl);
        curl_slist_free_all(headers);
    }
    if (file)
        ok = fclose(file) == 0 && ok;
    else
        close(descriptor);
    if (ok)
        ok = rename(temporary.c_str(), path) == 0;
    if (!ok)
        unlink(temporary.c_str());
    return ok;
}
