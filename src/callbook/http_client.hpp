#pragma once

#include "common/result.hpp"

#include <chrono>
#include <string>

namespace kestrel::callbook {

enum class HttpError {
    bad_address, // not an http:// or https:// address we can reach
    no_connection,
    timeout,
    bad_answer, // not an HTTP answer, or not "200"
    no_https,   // an https:// address and no curl to reach it
};

// GETs an address and gives the body of a "200" answer, waiting at most `timeout` in all.
// http:// is spoken here over a socket; https:// is left to curl, run as a child process that is
// handed the address on its standard input, so that a password in it never shows in the list
// of processes.
[[nodiscard]] Result<std::string, HttpError> http_get(const std::string& address,
                                                      std::chrono::milliseconds timeout);

// A text made safe to stand in an address's query.
[[nodiscard]] std::string url_encoded(const std::string& text);

} // namespace kestrel::callbook
