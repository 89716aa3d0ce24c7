// One HTTP exchange on WinHTTP, in its asynchronous mode so that the
// request's deadline bounds the whole exchange: WinHTTP's own time-outs
// bound each wait for the network, but not a server that sends its headers
// or its body a byte at a time. The exchange starts each step on WinHTTP's
// own worker threads and waits for its completion until the deadline; then
// the request is closed. The body is kept in memory (a server sending
// one-byte chunks costs a copy each, not a write to the disk).
#include "windows_platform.h"

#include <winhttp.h>

#include <atomic>
#include <cwctype>
#include <new>

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

// Each Content-Length value of the answer, as many as the answer may hold.
void readLengths(HINTERNET request, HttpAnswer& answer)
{
    std::wstring text;
    for (DWORD index = 0; header(request, WINHTTP_QUERY_CONTENT_LENGTH, text, &index);)
    {
        answer.tooManyLengths = answer.lengths.size() == kAnswerLengths;
        if (answer.tooManyLengths)
            return;
        answer.lengths.push_back(toUtf8(text));
    }
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


// Sends the GET and waits for the headers of its answer; the request stays
// open for the body.
bool ask(HINTERNET connection, const HttpRequest& asked, const std::wstring& target, Request& request,
         DWORD milliseconds)
{
    if (!request.transfer)
        return false;
    // The target goes as the caller made it, escaped already.
    DWORD flags = WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY | (asked.secure ? WINHTTP_FLAG_SECURE : 0);
    request.handle = WinHttpOpenRequest(connection, L"GET", target.c_str(), nullptr, WINHTTP_NO_REFERER,
                                        WINHTTP_DEFAULT_ACCEPT_TYPES, flags);
    Transfer& transfer = *request.transfer;
    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(&transfer);
    // A redirect is answered, not followed: Wine would follow 301, 302 and
    // 307 only, take a file: or ftp: address for a path on the same server,
    // and send credentials wherever a redirect leads. The wait for the
    // answer has its own time-out.
    DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    if (!request.handle || !transfer.completed || !transfer.released ||
        !WinHttpSetOption(request.handle, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context) ||
        !WinHttpSetOption(request.handle, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy) ||
        !WinHttpSetOption(request.handle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &milliseconds, sizeof milliseconds))
        return false;
    if (WinHttpSetStatusCallback(request.handle, onStatus, kWatched, 0) == WINHTTP_INVALID_STATUS_CALLBACK)
        return false;
    request.watched = true;
    std::string lines;
    for (const std::string& line : asked.headers)
        lines += line + "\r\n";
    std::wstring headers;
    return toWide(lines.c_str(), headers) &&
           WinHttpSendRequest(request.handle, headers.c_str(), DWORD(-1), WINHTTP_NO_REQUEST_DATA, 0, 0, context) &&
           completed(transfer, WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE, request.deadline) &&
           WinHttpReceiveResponse(request.handle, nullptr) &&
           completed(transfer, WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE, request.deadline);
}

// The status and the headers the caller judges the answer by.
bool readHeaders(HINTERNET request, HttpAnswer& answer)
{
    DWORD status = 0, size = sizeof status;
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        return false;
    answer.status = int32_t(status);
    std::wstring location;
    if (header(request, WINHTTP_QUERY_LOCATION, location))
        answer.location = toUtf8(location);
    readLengths(request, answer);
    answer.chunked = chunked(request);
    return true;
}

// Reads the body to its end, limit bytes at most.
bool readBody(Request& request, size_t limit, HttpAnswer& answer)
{
    Transfer& transfer = *request.transfer;
    transfer.readingBody = true;
    for (;;)
    {
        if (!WinHttpReadData(request.handle, transfer.buffer, sizeof transfer.buffer, nullptr) ||
            !completed(transfer, WINHTTP_CALLBACK_STATUS_READ_COMPLETE, request.deadline))
            return false;
        DWORD got = transfer.bytes;
        if (got == 0)
            break;
        if (got > limit - answer.body.size())
            return false;
        answer.body.append(transfer.buffer, got);
    }
    answer.lastChunk = answer.chunked && !transfer.peerClosed;
    return true;
}
}

bool windowsHttpExchange(const HttpRequest& request, HttpAnswer& answer)
{
    // WinHTTP's own threads may still run in it when the host unloads this
    // library, which alone holds it: it stays loaded.
    static const bool pinned = [] {
        HMODULE module;
        return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, L"winhttp.dll", &module) != 0;
    }();
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(request.deadline - std::chrono::steady_clock::now());
    std::wstring host, target;
    if (!pinned || left.count() <= 0 || !toWide(request.host.c_str(), host) || !toWide(request.target.c_str(), target))
        return false;
    DWORD milliseconds = DWORD(left.count());
    Internet session{WinHttpOpen(L"TesmarLauncher", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                 WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC)};
    if (!session.value || !WinHttpSetTimeouts(session.value, milliseconds, milliseconds, milliseconds, milliseconds))
        return false;
    Internet connection{WinHttpConnect(session.value, host.c_str(), request.port, 0)};
    Request exchange(GetTickCount64() + milliseconds);
    answer = HttpAnswer();
    return connection.value && ask(connection.value, request, target, exchange, milliseconds) &&
           readHeaders(exchange.handle, answer) && readBody(exchange, request.limit, answer);
}
