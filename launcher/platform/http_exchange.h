// One HTTP exchange as the network services carry it out: a GET sent to one
// server and the answer read back, no redirect followed. What to ask, where
// to go next and whether the answer will do is decided above, once.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Content-Length values an answer holds at most: finding each costs a walk
// through all the headers, so more are refused unread.
inline constexpr size_t kAnswerLengths = 8;

struct HttpRequest
{
    bool secure = false;              // https
    std::string host;                 // as an address spells it: an IPv6 one in brackets
    uint16_t port = 0;
    std::string target;               // path and query, sent as they are
    std::vector<std::string> headers; // whole lines, without their line end
    std::chrono::steady_clock::time_point deadline; // for the whole exchange
    size_t limit = 0;                 // of the body's bytes
};

struct HttpAnswer
{
    int32_t status = 0;
    std::string location;             // the Location header as sent; empty without one
    std::vector<std::string> lengths; // each Content-Length value, blanks trimmed
    bool tooManyLengths = false;      // more than kAnswerLengths of them
    bool chunked = false;             // the body came in chunks
    bool lastChunk = false;           // and ended with its last one, not a closed connection
    std::string body;
};
