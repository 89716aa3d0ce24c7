#include "download.h"

#include "address.h"
#include "file_rules/file_rules.h"
#include "platform/platform.h"
#include "web_fetch.h"

bool fileAddressPath(std::string_view address, PathStyle style, std::string& path)
{
    AddressParts parts = splitAddress(address);
    std::string host = lowerCase(parts.authority);
    if (holdsControl(address) || lowerCase(parts.scheme) != "file" || (!host.empty() && host != "localhost"))
        return false;
    path = percentDecoded(withoutDotSegments(parts.path));
    if (style == PathStyle::Windows && path.starts_with('/') && startsWithDrive(path, 1))
        path.erase(0, 1);
    return !path.empty() && path.find('\0') == std::string::npos;
}

// A file address is read as every other input file is: opened without
// blocking and only when it is a regular file, since a FIFO or a device
// there would hold the host for ever.
bool fetch(std::string_view url, std::string& body)
{
    auto deadline = std::chrono::steady_clock::now() + kDownloadTime;
    if (lowerCase(splitAddress(url).scheme) != "file")
        return fetchWeb(std::string(url), body, deadline);
    std::string path;
    return fileAddressPath(url, kSystemPathStyle, path) && fileServices().readFile(path.c_str(), kDownloadLimit, body);
}

// An empty body (a 204, or a 200 without content) is nothing received.
bool download(const char* url, const char* path)
{
    std::string body;
    return isNativeAbsolutePath(path, kSystemPathStyle) && fetch(url, body) && storeDownloaded(body, path);
}
