// A synchronous HTTP GET of a whole text body over WinINet.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tmr {

// The platform's standard request time-out.
inline constexpr uint32_t kStandardHttpTimeoutMs = 60000;

// The body of a successful (2xx) reply, or nullopt for anything else: no
// connection, a time-out, an error status. Caches are bypassed so a new
// version is seen at once.
std::optional<std::string> HttpGetText(const std::string& url, uint32_t timeoutMs = kStandardHttpTimeoutMs);

}  // namespace tmr
