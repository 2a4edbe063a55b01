// Entry points for the readers' decoders: MRU entries, cache containers,
// the index file scan and cookie files.
#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "FuzzTargets.h"
#include "core/CookieRules.h"
#include "core/IndexDatScanner.h"
#include "core/MruDecode.h"
#include "core/UrlCacheContainer.h"
#include "core/Utf8Text.h"
#include "support/PerByteIndexScan.h"

namespace tmr::fuzz {
namespace {

// Stands in for the code page conversion of the Windows build: ANSI bytes
// as ISO-8859-1, the UTF-16 classes as UTF-16LE. It keeps what it was given.
struct RecordingConverter {
  std::vector<Bytes> given;
  std::string operator()(TextClass textClass, const Bytes& bytes) {
    given.push_back(bytes);
    if (textClass == TextClass::kEn) {
      std::string text;
      for (uint8_t b : bytes) AppendUtf8(text, b);
      return text;
    }
    std::u16string units;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
      units.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
    return Utf8Encode(units);
  }
};

}  // namespace

std::string CheckMruDecode(std::string_view input) {
  const Bytes entry(input.begin(), input.end());
  const Bytes reversedTwice = ReverseBytes(ReverseBytes(entry));
  if (reversedTwice.size() != entry.size() + 2 || reversedTwice.front() != 0 ||
      !std::equal(entry.begin(), entry.end(), reversedTwice.begin() + 1)) {
    return "ReverseBytes does not reverse and append one zero";
  }
  for (TextClass textClass : {TextClass::kEn, TextClass::kAsia, TextClass::kJan}) {
    RecordingConverter leading;
    DecodeLeadingText(entry, textClass, std::ref(leading));
    if (leading.given.size() > 1) return "DecodeLeadingText converted more than one field";
    if (!leading.given.empty()) {
      const Bytes& field = leading.given[0];
      if (field.size() + 2 > entry.size() || !std::equal(field.begin(), field.end(), entry.begin())) {
        return "DecodeLeadingText converted bytes that are not the entry's start";
      }
    }
    RecordingConverter trailing;
    DecodeTrailingName(entry, textClass, std::ref(trailing));
    // A field is some of the entry's pairs with at most a zero byte at each
    // end: never longer than the entry and one zero.
    for (const Bytes& field : trailing.given) {
      if (field.size() > entry.size() + 1) return "DecodeTrailingName converted a field longer than the entry";
    }
  }
  return "";
}

std::string CheckUrlCacheContainer(std::string_view input) {
  const ContainerContents contents = ReadContainer(input);
  if (contents.hashEntriesRead > input.size() / 8) return "a hash table entry was read twice";
  size_t copied = 0;
  uint64_t previousEnd = 0;
  for (const ContainerUrlRecord& record : contents.records) {
    if (record.offset < previousEnd) return "records out of file order or overlapping";
    previousEnd = record.offset + uint64_t{128};
    if (previousEnd > input.size()) return "a record past the end of the file";
    if (record.location.empty() || record.location.find('\0') != std::string::npos) return "a location not a text";
    copied += record.location.size() + record.title.size() * 2;
  }
  if (copied > input.size()) return "more text copied out than the file holds";

  std::vector<VisitedEntry> visited = ReadVisitedEntries(input);
  if (visited.size() > contents.records.size()) return "more visited entries than records";
  std::set<std::string> urls;
  for (const VisitedEntry& entry : visited) urls.insert(entry.url);
  std::vector<VisitedEntry> merged = visited;
  MergeVisitedEntries(merged, visited);
  if (merged.size() != visited.size()) return "merging a container with itself added entries";
  MergeVisitedEntries(merged, {});
  std::vector<VisitedEntry> fresh;
  MergeVisitedEntries(fresh, visited);
  if (fresh.size() != urls.size()) return "a merge kept a URL twice or lost one";

  std::u16string title;
  if (TitleFromDataArea(input, title) && title.size() * 2 > input.size()) return "a title longer than its area";
  return "";
}

// The first byte chooses the window size and how far the file's length
// claims to reach past its bytes (a file that shrank while being read).
std::string CheckIndexDatScan(std::string_view input) {
  FuzzInput in(input);
  const size_t chunk = 1 + in.Byte() * 17u;
  const uint8_t shrunk = in.Byte();
  const uint64_t claimed = shrunk % 4 == 0 ? 0 : shrunk;
  const std::string file(in.Rest());
  const std::vector<std::string> expected = test::PerByteIndexScan(file);

  std::vector<std::string> whole;
  ScanIndexBytes(file, [&](std::string_view row) {
    whole.emplace_back(row);
    return true;
  });
  if (whole != expected) return "the scan differs from the per-byte rule";

  // As the file reader works: windows from the next position, the length
  // cut back when a read comes up short.
  std::vector<std::string> windowed;
  IndexDatScanner scanner(file.size() + claimed);
  for (int steps = 0; !scanner.Finished(); ++steps) {
    if (steps > static_cast<int>(file.size()) + 2) return "the windowed scan does not end";
    const uint64_t base = scanner.Next();
    const size_t want = static_cast<size_t>(std::min<uint64_t>(chunk + kIndexReach, scanner.Length() - base));
    const size_t got = base >= file.size() ? 0 : std::min(want, file.size() - static_cast<size_t>(base));
    if (got < want) scanner.ShrinkTo(base + got);
    scanner.Scan(std::string_view(file).substr(std::min<size_t>(base, file.size()), got), base,
                 [&](std::string_view row) {
                   windowed.emplace_back(row);
                   return true;
                 });
  }
  if (windowed != expected) return "the windowed scan differs from the per-byte rule";
  return "";
}

std::string CheckCookieRules(std::string_view input) {
  ClassifyCookieEntry(input);
  if (auto line = FirstTextLine(input)) {
    if (input.substr(0, line->size()) != *line) return "the first line is not the text's start";
    if (line->find('\r') != std::string_view::npos) return "the first line holds a CR";
  }
  if (auto site = CookieSiteFromContent(input)) {
    if (site->find('\n') != std::string::npos || site->find('\r') != std::string::npos)
      return "a site holds a line end";
    if (input.find(*site) == std::string_view::npos) return "a site that is not in the file";
  }
  return "";
}

}  // namespace tmr::fuzz
