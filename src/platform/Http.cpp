#include "platform/Http.h"

#include <windows.h>
#include <wininet.h>

#include "platform/Handles.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

// Bounds what a version text may grow to; a server sending more is broken.
constexpr size_t kMaxBody = 16 * 1024 * 1024;

}  // namespace

std::optional<HttpUrl> CrackHttpUrl(const std::string& url) {
  std::wstring wideUrl = Widen(url);
  wchar_t host[256] = {};
  wchar_t path[2048] = {};
  wchar_t extra[2048] = {};
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof(parts);
  parts.lpszHostName = host;
  parts.dwHostNameLength = 256;
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = 2048;
  parts.lpszExtraInfo = extra;
  parts.dwExtraInfoLength = 2048;
  if (!InternetCrackUrlW(wideUrl.c_str(), 0, 0, &parts)) return std::nullopt;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return std::nullopt;
  HttpUrl result;
  result.host = host;
  result.port = parts.nPort;
  result.object = std::wstring(path) + extra;
  if (result.object.empty()) result.object = L"/";
  result.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  return result;
}

void SetInternetTimeouts(void* internetHandle, uint32_t timeoutMs) {
  DWORD ms = timeoutMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                       INTERNET_OPTION_DATA_SEND_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
    InternetSetOptionW(internetHandle, option, &ms, sizeof(ms));
  }
}

std::optional<std::string> HttpGetText(const std::string& url, uint32_t timeoutMs) {
  std::optional<HttpUrl> parts = CrackHttpUrl(url);
  if (!parts) return std::nullopt;

  UniqueHinternet session(InternetOpenW(L"Tracemere", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return std::nullopt;
  SetInternetTimeouts(session.get(), timeoutMs);
  UniqueHinternet connection(
      InternetConnectW(session.get(), parts->host.c_str(), parts->port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return std::nullopt;
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                INTERNET_FLAG_NO_UI | (parts->secure ? INTERNET_FLAG_SECURE : 0);
  UniqueHinternet request(
      HttpOpenRequestW(connection.get(), L"GET", parts->object.c_str(), nullptr, nullptr, nullptr, flags, 0));
  if (!request) return std::nullopt;
  // Set on the request itself as well: not every implementation passes the
  // session's time-outs down to the reads of a request.
  SetInternetTimeouts(request.get(), timeoutMs);
  if (!HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) return std::nullopt;

  DWORD status = 0;
  DWORD size = sizeof(status);
  if (!HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
      status < 200 || status > 299) {
    return std::nullopt;
  }

  std::string body;
  char buffer[4096];
  while (true) {
    DWORD read = 0;
    if (!InternetReadFile(request.get(), buffer, sizeof(buffer), &read)) return std::nullopt;
    if (read == 0) break;
    body.append(buffer, read);
    if (body.size() > kMaxBody) return std::nullopt;
  }
  return body;
}

}  // namespace tmr
