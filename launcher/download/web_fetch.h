// The web part of a download: one exchange after another through the
// network services, from the first address to the answer that is no
// redirect.
#pragma once

#include <chrono>
#include <string>

// Fetches an http or https address into body by the deadline.
bool fetchWeb(const std::string& address, std::string& body, std::chrono::steady_clock::time_point deadline);
