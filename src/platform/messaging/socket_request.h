#pragma once
// One request line to a program listening on a Unix stream socket, and its one answer line.
#include <string>
#include <string_view>

namespace koru {

// Connects to `path`, writes `request` (with its line end) and returns the first line of the
// answer, line end included; empty when nobody listens there or no whole line came within
// `timeout_ms`.
std::string RequestLine(const std::string& path, std::string_view request, int timeout_ms);

}  // namespace koru
