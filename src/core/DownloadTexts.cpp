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

// The length of the well-formed UTF-8 sequence at `at`, or 0.
std::size_t SequenceLength(std::string_view bytes, std::size_t at) {
  const auto lead = static_cast<unsigned char>(bytes[at]);
  std::size_t length = 0;
  char32_t value = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07u;
  } else {
    return 0;
  }
  if (bytes.size() - at < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(bytes[at + i]);
    if ((next & 0xC0) != 0x80) return 0;
    value = (value << 6) | (next & 0x3Fu);
  }
  const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
  if (overlong || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  return length;
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
    const std::size_t length = SequenceLength(bytes, at);
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
