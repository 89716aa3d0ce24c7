// Downloads, written once above the network services: which addresses are
// taken (http, https and files of this machine, first and after a
// redirect), how redirects are followed, where credentials go, the size
// limit, the one deadline, and what a complete body is. The services only
// carry out each exchange.
#pragma once

#include "common/host_path.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

// Bodies larger than this are refused: update data is a few kilobytes.
inline constexpr size_t kDownloadLimit = size_t(16) << 20;
// The whole transfer, every redirect included, ends within this.
inline constexpr std::chrono::milliseconds kDownloadTime{1000};
// Redirects followed at most.
inline constexpr int kDownloadRedirects = 30;

// Fetches url and stores the body at the absolute path: written beside it
// and moved over it only after a complete, successful transfer that brought
// at least one byte, and never over anything but a regular file.
bool download(const char* url, const char* path);
// Fetches url whole into body: false unless the body is complete.
bool fetch(std::string_view url, std::string& body);

// Where a reference found at base leads (RFC 3986), without its fragment;
// dot segments are removed, as the first address's are.
std::string resolveAddress(std::string_view base, std::string_view reference);
// The local path a file address names in the given path style: its host
// empty or "localhost", its path percent-decoded, and "/C:/x" read as
// "C:/x" on Windows. False for any other address.
bool fileAddressPath(std::string_view address, PathStyle style, std::string& path);
