#include "core/BinaryFields.h"

#include <algorithm>

#include "core/CivilDate.h"
#include "core/Utf8Text.h"

namespace tmr {
namespace {

constexpr int64_t kDaysFrom1601To1970 = 134774;
constexpr uint64_t kTicksPerSecond = 10'000'000;

}  // namespace

ByteRange ByteRange::Sub(size_t at, size_t count) const {
  if (at >= bytes_.size()) return ByteRange();
  return ByteRange(bytes_.subspan(at, std::min(count, bytes_.size() - at)));
}

// Most stored names are plain ASCII: those are copied across in one piece,
// without a UTF-16 string in between or a growing one (a jump list holds
// thousands of such fields).

TextField Utf16Field(const ByteRange& range, size_t at, size_t maxUnits) {
  TextField field;
  if (at >= range.size()) return field;
  const size_t units = std::min(maxUnits, (range.size() - at) / 2);
  const uint8_t* bytes = range.Span().data() + at;
  auto unitAt = [bytes](size_t i) { return static_cast<char16_t>(bytes[i * 2] | (bytes[i * 2 + 1] << 8)); };
  size_t length = 0;
  bool ascii = true;
  for (; length < units; ++length) {
    const char16_t value = unitAt(length);
    if (value == 0) {
      field.terminated = true;
      break;
    }
    ascii = ascii && value < 0x80;
  }
  field.bytes = (length + (field.terminated ? 1 : 0)) * 2;
  if (ascii) {
    field.text.resize(length);
    for (size_t i = 0; i < length; ++i) field.text[i] = static_cast<char>(bytes[i * 2]);
    return field;
  }
  std::u16string text(length, u'\0');
  for (size_t i = 0; i < length; ++i) text[i] = unitAt(i);
  field.text = Utf8Encode(text);
  return field;
}

TextField AnsiField(const ByteRange& range, size_t at, size_t maxBytes) {
  TextField field;
  if (at >= range.size()) return field;
  const size_t count = std::min(maxBytes, range.size() - at);
  const uint8_t* bytes = range.Span().data() + at;
  size_t length = 0;
  bool ascii = true;
  for (; length < count; ++length) {
    if (bytes[length] == 0) {
      field.terminated = true;
      break;
    }
    ascii = ascii && bytes[length] < 0x80;
  }
  field.bytes = length + (field.terminated ? 1 : 0);
  if (ascii) {
    field.text.assign(reinterpret_cast<const char*>(bytes), length);
    return field;
  }
  field.text.reserve(length * 2);
  for (size_t i = 0; i < length; ++i) AppendUtf8(field.text, bytes[i]);
  return field;
}

std::string Utf16Counted(const ByteRange& range, size_t at, size_t units) {
  if (units > range.size() / 2 || !range.Has(at, units * 2)) return "";
  return Utf16Field(range, at, units).text;
}

std::string GuidText(const ByteRange& range, size_t at) {
  if (!range.Has(at, 16)) return "";
  return GuidText(GuidBytesAt(range, at));
}

GuidBytes GuidBytesAt(const ByteRange& range, size_t at) {
  GuidBytes guid{};
  if (range.Has(at, 16)) std::copy_n(range.Span().begin() + static_cast<std::ptrdiff_t>(at), 16, guid.begin());
  return guid;
}

GuidChars GuidCharsOf(const GuidBytes& guid) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const ByteRange range(guid);
  GuidChars text;
  size_t length = 0;
  auto hex = [&](uint64_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) text.chars[length++] = kDigits[(value >> shift) & 0xF];
  };
  text.chars[length++] = '{';
  hex(range.U32(0), 8);
  text.chars[length++] = '-';
  hex(range.U16(4), 4);
  text.chars[length++] = '-';
  hex(range.U16(6), 4);
  text.chars[length++] = '-';
  for (size_t i = 8; i < 16; ++i) {
    if (i == 10) text.chars[length++] = '-';
    hex(range.U8(i), 2);
  }
  text.chars[length++] = '}';
  return text;
}

std::string GuidText(const GuidBytes& guid) { return std::string(GuidCharsOf(guid).View()); }

std::optional<GuidBytes> ParseGuidText(std::string_view text) {
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
  if (text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-') return std::nullopt;
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  // The text's hex digits in order, and where each lands: the first three
  // groups are stored little-endian, the last two as written.
  constexpr std::array<uint8_t, 16> kPlace{3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  GuidBytes guid{};
  size_t byte = 0;
  for (size_t at = 1; at < 37; ++at) {
    if (at == 9 || at == 14 || at == 19 || at == 24) continue;
    const int high = digit(text[at]);
    const int low = digit(text[++at]);
    if (high < 0 || low < 0) return std::nullopt;
    guid[kPlace[byte++]] = static_cast<uint8_t>(high << 4 | low);
  }
  return guid;
}

uint64_t FatTimeToFileTime(uint16_t date, uint16_t time) {
  if (date == 0) return 0;
  const CivilDate day{1980 + (date >> 9), (date >> 5) & 0xF, date & 0x1F};
  const int hour = time >> 11;
  const int minute = (time >> 5) & 0x3F;
  const int second = (time & 0x1F) * 2;
  if (!IsValidDate(day) || hour > 23 || minute > 59 || second > 59) return 0;
  const int64_t days = DaysFromCivil(day) + kDaysFrom1601To1970;
  const int64_t seconds = days * 86400 + hour * 3600 + minute * 60 + second;
  return static_cast<uint64_t>(seconds) * kTicksPerSecond;
}

}  // namespace tmr
