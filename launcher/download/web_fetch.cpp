#include "web_fetch.h"

#include "address.h"
#include "download.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstdint>

namespace
{
// What the credentials of an address are bound to.
struct Server
{
    bool secure = false;
    std::string host; // lower case
    uint16_t port = 0;

    bool operator==(const Server&) const = default;
};

struct WebAddress
{
    Server server;
    std::string target;
    std::string_view userinfo;
};

// A port's digits, or the scheme's own port without any.
bool readPort(std::string_view digits, bool secure, uint16_t& port)
{
    uint32_t value = 0;
    for (char c : digits)
    {
        if (c < '0' || c > '9' || (value = value * 10 + uint32_t(c - '0')) > 65535)
            return false;
    }
    port = digits.empty() ? (secure ? 443 : 80) : uint16_t(value);
    return port != 0;
}

// False for anything but an http or https address with a host.
bool readWebAddress(std::string_view text, WebAddress& address)
{
    AddressParts parts = splitAddress(text);
    std::string scheme = lowerCase(parts.scheme);
    if (!parts.hasAuthority || (scheme != "http" && scheme != "https"))
        return false;
    AuthorityParts authority = splitAuthority(parts.authority);
    address.server.secure = scheme == "https";
    address.server.host = lowerCase(authority.host);
    address.userinfo = authority.userinfo;
    std::string target = parts.path.empty() ? "/" : withoutDotSegments(parts.path);
    if (parts.hasQuery)
        target.append("?").append(parts.query);
    address.target = percentEncoded(target);
    return !authority.host.empty() && readPort(authority.port, address.server.secure, address.server.port);
}

std::string base64(std::string_view bytes)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (size_t i = 0; i < bytes.size(); i += 3)
    {
        uint32_t group = uint32_t(uint8_t(bytes[i])) << 16;
        size_t count = std::min<size_t>(bytes.size() - i, 3);
        for (size_t k = 1; k < count; k++)
            group |= uint32_t(uint8_t(bytes[i + k])) << (16 - 8 * k);
        for (size_t k = 0; k < 4; k++)
            text += k <= count ? digits[(group >> (18 - 6 * k)) & 63] : '=';
    }
    return text;
}

// The header that carries user:password as Basic credentials, each part
// percent-decoded; none for an address without them.
std::string credentialsHeader(std::string_view userinfo)
{
    if (userinfo.empty())
        return std::string();
    size_t colon = std::min(userinfo.find(':'), userinfo.size());
    std::string pair = percentDecoded(userinfo.substr(0, colon)) + ":" +
                       percentDecoded(userinfo.substr(std::min(colon + 1, userinfo.size())));
    return "Authorization: Basic " + base64(pair);
}

// Complete when every length announced is one number, and it is the number
// of bytes received; a chunked body when its last chunk came.
bool complete(const HttpAnswer& answer)
{
    bool announced = false;
    uint64_t length = 0;
    for (const std::string& text : answer.lengths)
    {
        uint64_t value = 0;
        if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos)
            return false;
        for (char c : text)
            value = value * 10 + uint64_t(c - '0');
        if (announced && value != length)
            return false;
        announced = true;
        length = value;
    }
    if (answer.tooManyLengths)
        return false;
    return answer.chunked ? answer.lastChunk : !announced || answer.body.size() == length;
}

bool isRedirect(const HttpAnswer& answer)
{
    return answer.status >= 300 && answer.status < 400 && answer.status != 304 && !answer.location.empty();
}
}

// The first address's credentials go to its own scheme, host and port only,
// wherever a redirect leads.
bool fetchWeb(const std::string& first, std::string& body, std::chrono::steady_clock::time_point deadline)
{
    WebAddress origin;
    if (!readWebAddress(first, origin))
        return false;
    std::string credentials = credentialsHeader(origin.userinfo);
    std::string address = first;
    for (int redirects = 0;; redirects++)
    {
        WebAddress next;
        if (holdsControl(address) || !readWebAddress(address, next) || std::chrono::steady_clock::now() >= deadline)
            return false;
        HttpRequest request{next.server.secure, next.server.host, next.server.port, next.target,
                            {"Cache-Control: no-cache", "Pragma: no-cache"}, deadline, kDownloadLimit};
        if (!credentials.empty() && next.server == origin.server)
            request.headers.push_back(credentials);
        HttpAnswer answer;
        if (!networkServices().httpExchange(request, answer) || answer.status >= 400)
            return false;
        if (!isRedirect(answer))
        {
            if (!complete(answer) || answer.body.size() > kDownloadLimit)
                return false;
            body = std::move(answer.body);
            return true;
        }
        if (redirects == kDownloadRedirects)
            return false;
        address = resolveAddress(address, answer.location);
    }
}
