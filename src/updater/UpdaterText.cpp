#include "updater/UpdaterText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/LeadingNumber.h"
#include "core/TextUtil.h"

namespace tmr {
std::string FileNameFromUrl(std::string_view url) {
  if (url.size() < 2) return "";
  if (url.substr(0, 7) != "http://" || url == "http://") return "";
  // The last "/" searched from the second-to-last character backwards.
  size_t slash = url.rfind('/', url.size() - 2);
  if (slash == std::string_view::npos) return "";
  std::string_view name = url.substr(slash + 1);
  if (name.size() < 2) return "";
  size_t dot = name.find('.');
  if (dot == std::string_view::npos || dot >= name.size() - 1) return "";
  return std::string(name);
}

std::string SizeText(double contentLength, std::string_view decimalSeparator) {
  double megabytes = std::nearbyint(contentLength * 100.0 / 1024000.0) / 100.0;
  return "File Size:" + NumberText(megabytes, 15, decimalSeparator) + " MB";
}

std::string PercentText(int64_t received, int64_t expected) {
  if (expected <= 0) return "0";
  double percent = std::nearbyint(static_cast<double>(received) / static_cast<double>(expected) * 100.0);
  // Converting a double beyond long long's range is undefined.
  return std::to_string(static_cast<long long>(std::clamp(percent, 0.0, 100.0)));
}

std::string StatusCodeText(std::string_view headerText) {
  if (headerText.size() < 10) return "";
  return std::string(headerText.substr(9, 3));
}

std::string FirstHeaderLine(std::string_view headerText) {
  size_t cr = headerText.find('\r');
  if (cr == std::string_view::npos) return "<nothing>";
  return std::string(headerText.substr(0, cr + 1));
}

int32_t ContentLengthValue(std::string_view value) {
  LeadingNumber number = ParseLeadingNumber(value);
  if (!number.found) return 0;
  const int32_t length = RoundToInt32(number.value).value_or(0);
  return length < 0 || length > kMaxDownloadBytes ? 0 : length;
}

std::optional<std::vector<uint8_t>> DerSignatureToRaw(const std::vector<uint8_t>& der, size_t width) {
  size_t pos = 0;
  auto readLength = [&](size_t& length) -> bool {
    if (pos >= der.size()) return false;
    uint8_t first = der[pos++];
    if (first < 0x80) {
      length = first;
      return true;
    }
    size_t count = first & 0x7F;
    if (count == 0 || count > 2) return false;
    length = 0;
    for (size_t i = 0; i < count; ++i) {
      if (pos >= der.size()) return false;
      length = (length << 8) | der[pos++];
    }
    return true;
  };
  if (pos >= der.size() || der[pos++] != 0x30) return std::nullopt;
  size_t sequenceLength = 0;
  if (!readLength(sequenceLength) || pos + sequenceLength != der.size()) return std::nullopt;

  std::vector<uint8_t> raw(width * 2, 0);
  for (size_t part = 0; part < 2; ++part) {
    if (pos >= der.size() || der[pos++] != 0x02) return std::nullopt;
    size_t length = 0;
    if (!readLength(length) || length == 0 || pos + length > der.size()) return std::nullopt;
    size_t start = pos;
    size_t end = pos + length;
    while (start < end - 1 && der[start] == 0) ++start;  // sign padding
    size_t digits = end - start;
    if (digits > width) return std::nullopt;
    std::copy(der.begin() + static_cast<long>(start), der.begin() + static_cast<long>(end),
              raw.begin() + static_cast<long>(part * width + width - digits));
    pos = end;
  }
  if (pos != der.size()) return std::nullopt;
  return raw;
}

std::optional<std::vector<uint8_t>> HexToBytes(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  auto value = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < hex.size(); i += 2) {
    int high = value(hex[i]);
    int low = value(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<uint8_t>(high * 16 + low));
  }
  return bytes;
}

}  // namespace tmr
