#include "core/DownloadTexts.h"

#include "core/JsonText.h"
#include "core/TextUtil.h"
#include "core/Utf8Text.h"

namespace tmr {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string FileUriToWindowsPath(std::string_view uri) {
  constexpr std::string_view kScheme = "file:///";
  if (ToLowerAscii(uri.substr(0, kScheme.size())) != kScheme) return std::string(uri);
  uri.remove_prefix(kScheme.size());
  std::string bytes;
  bytes.reserve(uri.size());
  for (std::size_t i = 0; i < uri.size(); ++i) {
    const int high = uri[i] == '%' && i + 2 < uri.size() ? HexDigit(uri[i + 1]) : -1;
    const int low = high >= 0 ? HexDigit(uri[i + 2]) : -1;
    if (low >= 0) {
      bytes += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      bytes += uri[i];
    }
  }
  for (char& c : bytes) {
    if (c == '/') c = '\\';
  }
  // Escapes may spell bytes that are no UTF-8: each such byte is read as
  // the character of the same number, so the path stays readable and whole.
  std::string path;
  path.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    char32_t ignored = 0;
    const std::size_t length = DecodeStrictUtf8(bytes, at, ignored);
    if (length == 0) {
      AppendUtf8(path, static_cast<unsigned char>(bytes[at]));
      ++at;
    } else {
      path.append(bytes, at, length);
      at += length;
    }
  }
  return path;
}

std::optional<double> DownloadEndTimeMs(std::string_view metaData) {
  std::optional<JsonValue> json = ParseJson(metaData);
  if (!json) return std::nullopt;
  const JsonValue* endTime = json->Member("endTime");
  return endTime ? endTime->Number() : std::nullopt;
}

}  // namespace tmr
