// Downloads on WinHTTP, in its asynchronous mode so that one deadline bounds
// the whole transfer: WinHTTP's own time-outs bound each wait for the
// network, but not a server that sends its headers or its body a byte at a
// time. The command starts each step on WinHTTP's own worker threads and
// waits for its completion until the deadline; then the request is closed.
// The body is kept in memory (a server sending one-byte chunks costs a copy
// each, not a write to the disk) and replaces the target only when complete
// and not empty. file:// addresses name local files.
#include "common/host_path.h"
#include "file_rules.h"
#include "windows_platform.h"

#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cwctype>
#include <new>

static const DWORD kMilliseconds = 1000;
static const int kRedirects = 30;
// More lengths than this in one answer are refused unread: finding each
// costs a search of all the headers.
static const DWORD kLengthHeaders = 8;

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

// What the callbacks of one request report to the command waiting for them.
// The lock keeps the command from closing the events while a callback uses
// them.
struct Transfer
{
    SRWLOCK lock = SRWLOCK_INIT;
    bool orphaned = false; // the command has gone; the last callback frees this
    HANDLE completed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE released = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<DWORD> status{0}; // of the last step completed
    std::atomic<DWORD> bytes{0};  // read by the last read
    std::atomic<bool> readingBody{false};
    std::atomic<bool> peerClosed{false}; // the server closed while the body was read
    char buffer[1 << 16];

    void closeEvents()
    {
        for (HANDLE* event : {&completed, &released})
        {
            if (*event)
                CloseHandle(*event);
            *event = nullptr;
        }
    }
};

// How long after the deadline a closed request may take to be released.
const ULONGLONG kReleaseMilliseconds = 20;

void CALLBACK onStatus(HINTERNET, DWORD_PTR context, DWORD status, void* information, DWORD length);

// The request handle and what its callbacks write to, which must outlive
// every callback. Closing the handle cancels the step under way and
// releases the request at once on Windows; Wine releases it only once the
// step ends (a server sending its headers a byte at a time may hold it for
// minutes). The command waits for that only until just after the deadline;
// then the transfer is left to the last callback to free, and the library
// stays loaded, since those callbacks are its code.
struct Request
{
    HINTERNET handle = nullptr;
    bool watched = false; // the callback is installed
    ULONGLONG deadline;
    Transfer* transfer = new (std::nothrow) Transfer;

    explicit Request(ULONGLONG deadline) : deadline(deadline) {}
    ~Request()
    {
        if (handle)
            WinHttpCloseHandle(handle);
        if (!transfer)
            return;
        ULONGLONG now = GetTickCount64(), end = deadline + kReleaseMilliseconds;
        bool released = !watched || WaitForSingleObject(transfer->released, DWORD(end > now ? end - now : 0)) ==
                                        WAIT_OBJECT_0;
        AcquireSRWLockExclusive(&transfer->lock);
        released = released || WaitForSingleObject(transfer->released, 0) == WAIT_OBJECT_0;
        transfer->orphaned = !released;
        transfer->closeEvents();
        ReleaseSRWLockExclusive(&transfer->lock);
        if (released)
        {
            delete transfer;
            return;
        }
        HMODULE self;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<const wchar_t*>(&onStatus), &self);
    }
    Request(const Request&) = delete;
    Request& operator=(const Request&) = delete;
};

bool hasScheme(const std::wstring& url)
{
    size_t colon = url.find(L':');
    if (colon == std::wstring::npos || colon == 0 || !iswalpha(url[0]))
        return false;
    for (size_t i = 1; i < colon; i++)
        if (!iswalnum(url[i]) && url[i] != L'+' && url[i] != L'-' && url[i] != L'.')
            return false;
    return true;
}

// Where a redirect leads: its address resolved against the address it came
// from, as libcurl resolves it on Linux (dot segments are left to the server).
std::wstring resolved(const std::wstring& from, const std::wstring& location)
{
    if (hasScheme(location))
        return location;
    size_t authority = from.find(L"//") + 2;
    if (location.compare(0, 2, L"//") == 0)
        return from.substr(0, authority - 2) + location;
    size_t path = std::min(from.find_first_of(L"/?#", authority), from.size());
    size_t end = std::min(from.find_first_of(L"?#", path), from.size());
    if (location.empty() || location[0] == L'#')
        return from.substr(0, end) + location;
    if (location[0] == L'/')
        return from.substr(0, path) + location;
    if (location[0] == L'?')
        return from.substr(0, end) + location;
    size_t folder = from.rfind(L'/', end - 1);
    return (folder == std::wstring::npos || folder < path ? from.substr(0, path) + L"/" : from.substr(0, folder + 1)) +
           location;
}

// Records a step's completion and what the command checks later.
void report(Transfer& transfer, DWORD status, void* information, DWORD length)
{
    switch (status)
    {
    case WINHTTP_CALLBACK_STATUS_RESPONSE_RECEIVED:
        // Wine ends a chunked body cut off by a closed connection as if it
        // were complete; the closing shows only as a receive of no bytes.
        if (transfer.readingBody && information && *static_cast<const DWORD*>(information) == 0)
            transfer.peerClosed = true;
        return;
    case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
        SetEvent(transfer.released);
        return;
    case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
        transfer.bytes = length;
        [[fallthrough]];
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
        transfer.status = status;
        SetEvent(transfer.completed);
        return;
    default:
        return;
    }
}

void CALLBACK onStatus(HINTERNET, DWORD_PTR context, DWORD status, void* information, DWORD length)
{
    Transfer* transfer = reinterpret_cast<Transfer*>(context);
    AcquireSRWLockExclusive(&transfer->lock);
    bool orphaned = transfer->orphaned;
    if (!orphaned)
        report(*transfer, status, information, length);
    ReleaseSRWLockExclusive(&transfer->lock);
    // Nothing follows the closing.
    if (orphaned && status == WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING)
        delete transfer;
}

const DWORD kWatched = WINHTTP_CALLBACK_FLAG_SENDREQUEST_COMPLETE | WINHTTP_CALLBACK_FLAG_HEADERS_AVAILABLE |
                       WINHTTP_CALLBACK_FLAG_READ_COMPLETE | WINHTTP_CALLBACK_FLAG_REQUEST_ERROR |
                       WINHTTP_CALLBACK_FLAG_RECEIVE_RESPONSE | WINHTTP_CALLBACK_FLAG_HANDLES;

// Waits for the step just started; false when it failed or the deadline
// came first.
bool completed(const Transfer& transfer, DWORD expected, ULONGLONG deadline)
{
    ULONGLONG now = GetTickCount64();
    return now < deadline && WaitForSingleObject(transfer.completed, DWORD(deadline - now)) == WAIT_OBJECT_0 &&
           transfer.status == expected;
}

// The first header of its kind, or the one at index, which moves on to the
// next.
bool header(HINTERNET request, DWORD query, std::wstring& value, DWORD* index = WINHTTP_NO_HEADER_INDEX)
{
    DWORD size = 0;
    WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size, index);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return false;
    value.assign(size / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &size, index))
        return false;
    value.resize(size / sizeof(wchar_t));
    return true;
}

bool decimal(const std::wstring& text, uint64_t& value)
{
    value = 0;
    if (text.empty() || text.size() > 19)
        return false;
    for (wchar_t c : text)
    {
        if (c < L'0' || c > L'9')
            return false;
        value = value * 10 + uint64_t(c - L'0');
    }
    return true;
}

// The announced length of the body; false for a length that does not read,
// or two that differ: they leave no way to tell where the body ends.
bool announcedLength(HINTERNET request, bool& announced, uint64_t& length)
{
    announced = false;
    length = 0;
    std::wstring text;
    for (DWORD index = 0; header(request, WINHTTP_QUERY_CONTENT_LENGTH, text, &index);)
    {
        uint64_t value = 0;
        if (index > kLengthHeaders || !decimal(text, value) || (announced && value != length))
            return false;
        announced = true;
        length = value;
    }
    return true;
}

bool chunked(HINTERNET request)
{
    std::wstring encoding;
    if (!header(request, WINHTTP_QUERY_TRANSFER_ENCODING, encoding))
        return false;
    for (wchar_t& c : encoding)
        c = wchar_t(towlower(c));
    return encoding.find(L"chunked") != std::wstring::npos;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The text with each "%" and two hexadecimal digits replaced by that byte.
std::string percentDecoded(const std::string& text)
{
    std::string decoded;
    for (size_t i = 0; i < text.size(); i++)
    {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0)
        {
            decoded += char(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        }
        else
            decoded += text[i];
    }
    return decoded;
}

std::wstring decodedPart(const wchar_t* text, DWORD length)
{
    std::wstring wide;
    return text && toWide(percentDecoded(toUtf8(text, length)).c_str(), wide) ? wide : std::wstring();
}

// An http or https address in the parts a request takes.
struct Address
{
    INTERNET_SCHEME scheme = INTERNET_SCHEME_HTTP;
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring object; // path and query: the fragment belongs to the reader of the page
    bool credentials = false;
    std::wstring user, password;

    bool sameServer(const Address& other) const
    {
        return scheme == other.scheme && port == other.port &&
               CompareStringOrdinal(host.c_str(), int(host.size()), other.host.c_str(), int(other.host.size()), TRUE) ==
                   CSTR_EQUAL;
    }
};

// False for an address that is not http or https.
bool crack(const std::wstring& url, Address& address)
{
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = DWORD(-1);
    parts.dwUrlPathLength = DWORD(-1);
    parts.dwExtraInfoLength = DWORD(-1);
    parts.dwUserNameLength = DWORD(-1);
    parts.dwPasswordLength = DWORD(-1);
    if (!WinHttpCrackUrl(url.c_str(), DWORD(url.size()), 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS))
        return false;
    address.scheme = parts.nScheme;
    address.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    address.port = parts.nPort;
    address.object = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                     std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    address.object.resize(std::min(address.object.size(), address.object.find(L'#')));
    address.credentials = parts.dwUserNameLength > 0 || parts.dwPasswordLength > 0;
    address.user = decodedPart(parts.lpszUserName, parts.dwUserNameLength);
    address.password = decodedPart(parts.lpszPassword, parts.dwPasswordLength);
    return true;
}

// Sends one GET and waits for the headers of its answer; the request stays
// open for the body. Credentials go with the first request as Basic ones.
bool ask(HINTERNET connection, const Address& address, const Address* credentials, Request& request,
         ULONGLONG deadline)
{
    if (!request.transfer)
        return false;
    request.handle = WinHttpOpenRequest(connection, L"GET", address.object.c_str(), nullptr, WINHTTP_NO_REFERER,
                                        WINHTTP_DEFAULT_ACCEPT_TYPES,
                                        address.scheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
    Transfer& transfer = *request.transfer;
    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(&transfer);
    // Redirects are followed here, not by WinHTTP: Wine follows 301, 302 and
    // 307 only, would take a file: or ftp: address for a path on the same
    // server, and sends credentials to wherever a redirect leads. The wait
    // for the answer has its own time-out.
    DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER, timeout = kMilliseconds;
    if (!request.handle || !transfer.completed || !transfer.released ||
        !WinHttpSetOption(request.handle, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context) ||
        !WinHttpSetOption(request.handle, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy) ||
        !WinHttpSetOption(request.handle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &timeout, sizeof timeout))
        return false;
    if (WinHttpSetStatusCallback(request.handle, onStatus, kWatched, 0) == WINHTTP_INVALID_STATUS_CALLBACK)
        return false;
    request.watched = true;
    if (credentials && !WinHttpSetCredentials(request.handle, WINHTTP_AUTH_TARGET_SERVER, WINHTTP_AUTH_SCHEME_BASIC,
                                              credentials->user.c_str(), credentials->password.c_str(), nullptr))
        return false;
    const wchar_t* headers = L"Cache-Control: no-cache\r\nPragma: no-cache\r\n";
    return WinHttpSendRequest(request.handle, headers, DWORD(-1), WINHTTP_NO_REQUEST_DATA, 0, 0, context) &&
           completed(transfer, WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE, deadline) &&
           WinHttpReceiveResponse(request.handle, nullptr) &&
           completed(transfer, WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE, deadline);
}

// Reads the body of an answer; false unless it is complete.
bool readBody(Request& request, std::string& body, ULONGLONG deadline)
{
    bool announced = false;
    uint64_t length = 0;
    if (!announcedLength(request.handle, announced, length) || length > kDownloadLimit)
        return false;
    bool chunks = chunked(request.handle);
    Transfer& transfer = *request.transfer;
    transfer.readingBody = true;
    for (;;)
    {
        if (!WinHttpReadData(request.handle, transfer.buffer, sizeof transfer.buffer, nullptr) ||
            !completed(transfer, WINHTTP_CALLBACK_STATUS_READ_COMPLETE, deadline))
            return false;
        DWORD got = transfer.bytes;
        if (got == 0)
            break;
        if (got > kDownloadLimit - body.size())
            return false;
        body.append(transfer.buffer, got);
    }
    // Complete only when the bytes received are those announced, or a
    // chunked body ended with its last chunk rather than a closed connection.
    if (chunks)
        return !transfer.peerClosed;
    return !announced || body.size() == length;
}

// Fetches an http or https address into body, following redirects to http
// and https addresses as libcurl does on Linux: the credentials of the
// address go to its own scheme, host and port only.
bool fetch(std::wstring url, std::string& body, ULONGLONG deadline)
{
    Address first;
    if (!crack(url, first))
        return false;
    Internet session{WinHttpOpen(L"TesmarLauncher", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                 WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC)};
    if (!session.value || !WinHttpSetTimeouts(session.value, kMilliseconds, kMilliseconds, kMilliseconds, kMilliseconds))
        return false;
    for (int redirects = 0;; redirects++)
    {
        Address address;
        if (!crack(url, address))
            return false;
        Internet connection{WinHttpConnect(session.value, address.host.c_str(), address.port, 0)};
        Request request(deadline);
        const Address* credentials = first.credentials && address.sameServer(first) ? &first : nullptr;
        if (!connection.value || !ask(connection.value, address, credentials, request, deadline))
            return false;
        DWORD status = 0, size = sizeof status;
        std::wstring location;
        if (!WinHttpQueryHeaders(request.handle, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                 WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX) ||
            status >= 400)
            return false;
        if (status < 300 || status == 304 || !header(request.handle, WINHTTP_QUERY_LOCATION, location))
            return readBody(request, body, deadline);
        if (redirects == kRedirects)
            return false;
        url = resolved(url, location);
    }
}

// Reads a file:// address of this machine, as libcurl does on Linux: the
// host empty or "localhost", the path decoded, "/C:/x" read as C:/x.
bool readLocal(std::string address, std::string& contents)
{
    address = address.substr(0, address.find_first_of("?#"));
    size_t slash = address.find('/');
    if (slash == std::string::npos)
        return false;
    std::string host = address.substr(0, slash);
    if (!host.empty() && _stricmp(host.c_str(), "localhost") != 0)
        return false;
    std::string path = percentDecoded(address.substr(slash));
    if (path.size() >= 3 && isalpha(static_cast<unsigned char>(path[1])) && path[2] == ':')
        path.erase(0, 1);
    return path.find('\0') == std::string::npos && readWholeFile(path.c_str(), kDownloadLimit, contents);
}
}

bool windowsDownload(const char* url, const char* path)
{
    std::wstring address;
    if (!isNativeAbsolutePath(path, kSystemPathStyle) || !toWide(url, address))
        return false;
    ULONGLONG deadline = GetTickCount64() + kMilliseconds;
    if (_strnicmp(url, "file://", 7) == 0)
    {
        std::string contents;
        return readLocal(url + 7, contents) && storeDownloaded(contents, path);
    }
    // WinHTTP's own threads may still run in it when the host unloads this
    // library, which alone holds it: it stays loaded.
    static const bool pinned = [] {
        HMODULE module;
        return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, L"winhttp.dll", &module) != 0;
    }();
    std::string body;
    // An empty answer (a 204, or a 200 without content) is nothing received.
    return pinned && fetch(address, body, deadline) && storeDownloaded(body, path);
}
