// Downloads on WinHTTP: one second for each step and for the whole
// transfer, no cached copy, and the target replaced only by a complete body.
#include "host_path.h"
#include "windows_platform.h"

#include <winhttp.h>

// Bodies larger than this are refused: update data is a few kilobytes.
static const size_t kDownloadLimit = size_t(16) << 20;
static const DWORD kMilliseconds = 1000;

namespace
{
struct Internet
{
    HINTERNET value;
    ~Internet()
    {
        if (value)
            WinHttpCloseHandle(value);
    }
};
}

bool windowsDownload(const char* url, const char* path)
{
    std::wstring address, target;
    if (!toWide(url, address) || !toWide(path, target) || !isNativeAbsolutePath(path, PathStyle::Windows))
        return false;
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = DWORD(-1);
    parts.dwUrlPathLength = DWORD(-1);
    parts.dwExtraInfoLength = DWORD(-1);
    if (!WinHttpCrackUrl(address.c_str(), 0, 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS))
        return false;
    std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring object = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                          std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);

    ULONGLONG deadline = GetTickCount64() + kMilliseconds;
    Internet session{WinHttpOpen(L"TesmarLauncher", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                 WINHTTP_NO_PROXY_BYPASS, 0)};
    if (!session.value || !WinHttpSetTimeouts(session.value, kMilliseconds, kMilliseconds, kMilliseconds, kMilliseconds))
        return false;
    Internet connection{WinHttpConnect(session.value, host.c_str(), parts.nPort, 0)};
    if (!connection.value)
        return false;
    Internet request{WinHttpOpenRequest(connection.value, L"GET", object.c_str(), nullptr, WINHTTP_NO_REFERER,
                                        WINHTTP_DEFAULT_ACCEPT_TYPES,
                                        parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0)};
    if (!request.value)
        return false;
    const wchar_t* headers = L"Cache-Control: no-cache\r\nPragma: no-cache\r\n";
    DWORD status = 0, size = sizeof status;
    if (!WinHttpSendRequest(request.value, headers, DWORD(-1), WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(request.value, nullptr) ||
        !WinHttpQueryHeaders(request.value, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX) ||
        status >= 400)
        return false;

    TemporaryFile body;
    if (!body.create(target, L".download-"))
        return false;
    size_t received = 0;
    char chunk[1 << 16];
    for (;;)
    {
        DWORD got = 0;
        if (GetTickCount64() > deadline || !WinHttpReadData(request.value, chunk, sizeof chunk, &got))
            return false;
        if (got == 0)
            break;
        if (got > kDownloadLimit - received || !body.write(chunk, got))
            return false;
        received += got;
    }
    return body.replace(target);
}
