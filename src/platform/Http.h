// A synchronous HTTP GET of a whole text body over WinINet.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tmr {

// The platform's standard request time-out.
inline constexpr uint32_t kStandardHttpTimeoutMs = 60000;

// The parts of an http:// or https:// address that a request needs.
struct HttpUrl {
  std::wstring host;
  uint16_t port = 80;
  std::wstring object;  // path and query, "/" at least
  bool secure = false;
};
std::optional<HttpUrl> CrackHttpUrl(const std::string& url);

// Connect, send and receive time-outs of a WinINet handle.
void SetInternetTimeouts(void* internetHandle, uint32_t timeoutMs);

// The body of a successful (2xx) reply, or nullopt for anything else: no
// connection, a time-out, an error status. Caches are bypassed so a new
// version is seen at once.
std::optional<std::string> HttpGetText(const std::string& url, uint32_t timeoutMs = kStandardHttpTimeoutMs);

}  // namespace tmr
