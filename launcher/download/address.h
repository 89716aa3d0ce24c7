// Addresses read as every backend reads them: split into their parts (the
// fragment belongs to the reader of the page and goes), references
// resolved against the address they were found at, dot segments removed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The parts of an address or a reference, viewing its text.
struct AddressParts
{
    std::string_view scheme;    // without its ":"
    std::string_view authority; // without its "//"
    std::string_view path;
    std::string_view query;     // without its "?"
    bool hasScheme = false;
    bool hasAuthority = false;
    bool hasQuery = false;
};

AddressParts splitAddress(std::string_view text);

// An authority's parts: user information (before the last "@"), the host
// (an IPv6 one with its brackets) and the port's digits.
struct AuthorityParts
{
    std::string_view userinfo;
    std::string_view host;
    std::string_view port;
};

AuthorityParts splitAuthority(std::string_view authority);

// The path with its "." and ".." segments applied.
std::string withoutDotSegments(std::string_view path);
// The text with each "%" and two hexadecimal digits replaced by that byte.
std::string percentDecoded(std::string_view text);
// The text with spaces and bytes past ASCII written as "%" and two digits.
std::string percentEncoded(std::string_view text);
std::string lowerCase(std::string_view text);
// Whether the text holds a control character: no address may.
bool holdsControl(std::string_view text);
