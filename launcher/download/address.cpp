#include "address.h"
#include "download.h"

#include <algorithm>

namespace
{
bool isSchemeCharacter(char c, bool first)
{
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return letter || (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
}

// A scheme is letters, digits, "+", "-" and "." before the first ":",
// beginning with a letter; "a b:c" has none and reads as a path.
bool schemeEnds(std::string_view text, size_t colon)
{
    if (colon == 0 || colon == std::string_view::npos)
        return false;
    for (size_t i = 0; i < colon; i++)
        if (!isSchemeCharacter(text[i], i == 0))
            return false;
    return true;
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

// Where a reference's relative path leads from the base: into the base
// path's last folder, or the root when the base has a host but no path.
std::string merged(const AddressParts& base, std::string_view path)
{
    if (base.hasAuthority && base.path.empty())
        return "/" + std::string(path);
    size_t folder = base.path.rfind('/');
    return std::string(base.path.substr(0, folder == std::string_view::npos ? 0 : folder + 1)) + std::string(path);
}

std::string joined(const AddressParts& parts)
{
    std::string text = parts.hasScheme ? std::string(parts.scheme) + ":" : std::string();
    if (parts.hasAuthority)
        text.append("//").append(parts.authority);
    text += parts.path;
    return parts.hasQuery ? text.append("?").append(parts.query) : text;
}
}

AddressParts splitAddress(std::string_view text)
{
    AddressParts parts;
    text = text.substr(0, text.find('#'));
    size_t colon = text.find_first_of(":/?");
    if (colon != std::string_view::npos && text[colon] == ':' && schemeEnds(text, colon))
    {
        parts.hasScheme = true;
        parts.scheme = text.substr(0, colon);
        text.remove_prefix(colon + 1);
    }
    if (text.starts_with("//"))
    {
        size_t end = std::min(text.find_first_of("/?", 2), text.size());
        parts.hasAuthority = true;
        parts.authority = text.substr(2, end - 2);
        text.remove_prefix(end);
    }
    size_t question = text.find('?');
    parts.path = text.substr(0, question);
    parts.hasQuery = question != std::string_view::npos;
    if (parts.hasQuery)
        parts.query = text.substr(question + 1);
    return parts;
}

AuthorityParts splitAuthority(std::string_view authority)
{
    AuthorityParts parts;
    size_t at = authority.rfind('@');
    if (at != std::string_view::npos)
    {
        parts.userinfo = authority.substr(0, at);
        authority.remove_prefix(at + 1);
    }
    size_t hostEnd = authority.starts_with('[') ? authority.find(']') : 0;
    size_t colon = authority.find(':', hostEnd == std::string_view::npos ? authority.size() : hostEnd);
    parts.host = authority.substr(0, colon);
    if (colon != std::string_view::npos)
        parts.port = authority.substr(colon + 1);
    return parts;
}

// RFC 3986's removal of dot segments: each step moves the input's first
// segment to the output, or applies it.
std::string withoutDotSegments(std::string_view path)
{
    std::string out;
    auto dropLast = [&] {
        size_t slash = out.rfind('/');
        out.resize(slash == std::string::npos ? 0 : slash);
    };
    while (!path.empty())
    {
        if (path.starts_with("../") || path.starts_with("./"))
            path.remove_prefix(path[0] == '.' && path[1] == '.' ? 3 : 2);
        else if (path.starts_with("/./") || path == "/.")
            path = path.size() == 2 ? "/" : path.substr(2);
        else if (path.starts_with("/../") || path == "/..")
        {
            path = path.size() == 3 ? "/" : path.substr(3);
            dropLast();
        }
        else if (path == "." || path == "..")
            path = {};
        else
        {
            size_t end = std::min(path.find('/', 1), path.size());
            out += path.substr(0, end);
            path.remove_prefix(end);
        }
    }
    return out;
}

std::string percentDecoded(std::string_view text)
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

std::string percentEncoded(std::string_view text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string encoded;
    for (char c : text)
    {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte == ' ' || byte >= 0x80)
            encoded.append({'%', digits[byte >> 4], digits[byte & 15]});
        else
            encoded += c;
    }
    return encoded;
}

std::string lowerCase(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    return lower;
}

bool holdsControl(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return true;
    return false;
}

// RFC 3986's resolution of a reference, which leaves nothing of the base
// behind the first part the reference has.
std::string resolveAddress(std::string_view base, std::string_view reference)
{
    AddressParts from = splitAddress(base), to = splitAddress(reference), target = to;
    std::string path;
    if (to.hasScheme || to.hasAuthority)
        path = withoutDotSegments(to.path);
    else
    {
        target.hasAuthority = from.hasAuthority;
        target.authority = from.authority;
        if (!to.path.empty())
            path = withoutDotSegments(to.path.starts_with('/') ? std::string(to.path) : merged(from, to.path));
        else
        {
            path = from.path;
            target.hasQuery = to.hasQuery || from.hasQuery;
            target.query = to.hasQuery ? to.query : from.query;
        }
    }
    if (!to.hasScheme)
    {
        target.hasScheme = from.hasScheme;
        target.scheme = from.scheme;
    }
    target.path = path;
    return joined(target);
}
