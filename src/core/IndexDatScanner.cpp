#include "core/IndexDatScanner.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tmr {

const char* FindUrlTag(const char* p, const char* end) {
#if defined(__SSE2__)
  // Compares 16 positions at a time: 'U' at the position and 'L' two bytes
  // on, then checks the 'R' of the few candidates left.
  const __m128i first = _mm_set1_epi8('U');
  const __m128i last = _mm_set1_epi8('L');
  while (end - p >= 18) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2));
    unsigned mask =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(c, last))));
    while (mask != 0) {
      int i = __builtin_ctz(mask);
      if (p[i + 1] == 'R') return p + i;
      mask &= mask - 1;
    }
    p += 16;
  }
#endif
  for (; end - p >= 3; ++p) {
    if (p[0] == 'U' && p[1] == 'R' && p[2] == 'L') return p;
  }
  return end;
}

uint64_t IndexDatScanner::EndPositionFor(uint64_t length) {
  if (length == 0) return 0;
  // The 7-byte read at position p runs past the end once p + 7 > length.
  return length >= 6 ? length - 5 : 1;
}

void IndexDatScanner::ShrinkTo(uint64_t length) {
  if (length < length_) length_ = length;
}

void IndexDatScanner::MakeRow(std::string_view window, uint64_t base, uint64_t position, bool& endsScan) {
  const uint64_t windowEnd = std::min<uint64_t>(base + window.size(), length_);
  auto fill = [&](uint64_t from) {
    row_.fill('\0');
    if (from >= windowEnd) return;
    size_t count = static_cast<size_t>(std::min<uint64_t>(kIndexRowBytes, windowEnd - from));
    std::memcpy(row_.data(), window.data() + (from - base), count);
  };
  fill(position + kIndexTextAt);
  endsScan = position + kIndexTextAt + kIndexRowBytes > length_;
  if (std::memcmp(row_.data(), "http", 4) != 0) {
    fill(position + kIndexOtherTextAt);
    endsScan = endsScan || position + kIndexOtherTextAt + kIndexRowBytes > length_;
  }
}

void IndexDatScanner::Scan(std::string_view window, uint64_t base, const RowHandler& onRow) {
  if (Finished() || base > next_) return;
  const uint64_t windowEnd = std::min<uint64_t>(base + window.size(), length_);
  if (next_ >= windowEnd) return;

  uint64_t stop = EndPosition();
  if (windowEnd < length_) {
    // Only positions whose reach the window holds; the rest wait for the
    // next window.
    stop = std::min(stop, windowEnd >= kIndexReach ? windowEnd - kIndexReach + 1 : 0);
  }
  if (stop <= next_) return;

  const char* data = window.data();
  // A hit at position p needs p + 3 bytes; the last candidate is stop - 1.
  const char* searchEnd = data + (std::min(stop + 2, windowEnd) - base);
  const char* cursor = data + (next_ - base);
  while (true) {
    const char* hit = FindUrlTag(cursor, searchEnd);
    if (hit == searchEnd) break;
    const uint64_t position = base + static_cast<uint64_t>(hit - data);
    bool endsScan = false;
    MakeRow(window, base, position, endsScan);
    ++hits_;
    const bool goOn = onRow(std::string_view(row_.data(), row_.size()));
    next_ = position + 1;
    if (endsScan) {
      finished_ = true;
      return;
    }
    if (!goOn) return;
    cursor = hit + 1;
  }
  next_ = stop;
}

void ScanIndexBytes(std::string_view file, const IndexDatScanner::RowHandler& onRow) {
  IndexDatScanner scanner(file.size());
  bool stopped = false;
  auto sink = [&](std::string_view row) {
    stopped = !onRow(row);
    return !stopped;
  };
  while (!scanner.Finished() && !stopped) scanner.Scan(file, 0, sink);
}

}  // namespace tmr
