// One cell of a row as its store holds it: a text, a whole number or a
// moment in time. Readers hand cells over typed; the text a user sees is
// made where it is shown (CellFormat), so a list can sort times as times and
// show them in local time or UTC without reading the store again.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tmr {

enum class CellKind : uint8_t { kText, kNumber, kTime };

// A moment as microseconds since 1970-01-01 00:00:00 UTC. 64 bits hold any
// stored time exactly (a double loses microseconds past 2^53).
using Instant = int64_t;

class CellValue {
 public:
  constexpr CellValue() = default;
  static constexpr CellValue Text(std::string_view text) { return CellValue(CellKind::kText, 0, text); }
  static constexpr CellValue Number(int64_t number) { return CellValue(CellKind::kNumber, number, {}); }
  static constexpr CellValue Time(Instant instant) { return CellValue(CellKind::kTime, instant, {}); }

  constexpr CellKind Kind() const { return kind_; }
  // The text of a text cell ("" for the others).
  constexpr std::string_view TextValue() const { return text_; }
  // The number of a number cell, the instant of a time cell.
  constexpr int64_t NumberValue() const { return number_; }
  constexpr Instant TimeValue() const { return number_; }

 private:
  constexpr CellValue(CellKind kind, int64_t number, std::string_view text)
      : kind_(kind), number_(number), text_(text) {}
  CellKind kind_ = CellKind::kText;
  int64_t number_ = 0;
  std::string_view text_;
};

// The stored forms of a time, as instants. nullopt for a value no instant
// can hold (not finite, or beyond some 290,000 years), which shows as an
// empty cell.
inline constexpr int64_t kMicrosecondsPerSecond = 1000000;
// Microseconds from 1601-01-01 to 1970-01-01.
inline constexpr int64_t kMicroseconds1601To1970 = 11644473600LL * kMicrosecondsPerSecond;
std::optional<Instant> InstantFromMicroseconds1601(int64_t microseconds);
// A count of microseconds or seconds the store gave as a real number or a
// text; fractions of a microsecond are dropped toward the past.
std::optional<Instant> InstantFromMicrosecondsValue(double microseconds, int64_t epochOffset = 0);
std::optional<Instant> InstantFromSecondsValue(double seconds);
// 100-nanosecond ticks since 1601 (FILETIME).
Instant InstantFromFileTime(uint64_t ticks);

// Turns cells into the texts users see. Texts stay as they are, numbers are
// written in decimal; how a time is written is the format's own.
class CellFormat {
 public:
  virtual ~CellFormat() = default;
  virtual void AppendTime(std::string& out, Instant instant) const = 0;
  void Append(std::string& out, const CellValue& cell) const;
  std::string Text(const CellValue& cell) const;
};

// The texts of a row's cells, for a sink that takes texts: views into the
// cells' own texts, or into buffers kept from one row to the next.
class CellTexts {
 public:
  explicit CellTexts(const CellFormat& format) : format_(&format) {}
  // Valid until the next call.
  std::span<const std::string_view> Of(std::span<const CellValue> cells);

 private:
  const CellFormat* format_;
  std::vector<std::string> buffers_;
  std::vector<std::string_view> views_;
};

// "2026-12-07 08:34:10" in UTC, the fraction of a second dropped; "" for a
// moment outside the years 1..9999. The native build's format.
const CellFormat& UtcIsoCellFormat();

// ISO 8601 in UTC with a "Z" ("2026-12-07T08:34:10Z"; microseconds after a
// point where there are any), as exports write times; nullopt outside the
// years 1..9999.
std::optional<std::string> IsoUtcText(Instant instant);
// Reads that text back (the forms IsoUtcText writes); nullopt otherwise.
std::optional<Instant> ParseIsoUtcText(std::string_view text);

}  // namespace tmr
