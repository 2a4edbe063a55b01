#include <gtest/gtest.h>

#include <random>

#include "core/IndexDatScanner.h"
#include "support/ContainerBuilder.h"
#include "support/PerByteIndexScan.h"

namespace tmr {
namespace {

using Rows = std::vector<std::string>;

Rows Scan(const std::string& file) {
  Rows rows;
  ScanIndexBytes(file, [&](std::string_view row) {
    rows.emplace_back(row);
    return true;
  });
  return rows;
}

// The same file handed over in windows of `chunk` positions, as the file
// reader does.
Rows ScanInWindows(const std::string& file, size_t chunk) {
  Rows rows;
  IndexDatScanner scanner(file.size());
  auto sink = [&](std::string_view row) {
    rows.emplace_back(row);
    return true;
  };
  while (!scanner.Finished()) {
    uint64_t base = scanner.Next();
    size_t size = std::min(file.size() - base, chunk + kIndexReach);
    scanner.Scan(std::string_view(file).substr(base, size), base, sink);
  }
  return rows;
}

std::string Visible(const std::string& row) { return row.substr(0, row.find('\0')); }

std::string Place(std::string file, size_t at, const std::string& text) {
  file.replace(at, text.size(), text);
  return file;
}

TEST(IndexDatScanner, RecordRuleCases) {
  const std::string blank(1000, '.');
  struct Case {
    const char* name;
    std::string file;
    std::vector<std::string> visible;
  };
  const std::vector<Case> cases = {
      {"record at 0", Place(Place(blank, 0, "URL "), 96, std::string("http://a/\0", 10)), {"http://a/"}},
      {"odd offset", Place(Place(blank, 333, "URL"), 333 + 96, std::string("https://b/\0", 11)), {"https://b/"}},
      {"lower case is no hit", Place(Place(blank, 10, "url "), 106, std::string("http://a/\0", 10)), {}},
      {"HTTP fails the test, +104 is taken",
       Place(Place(Place(blank, 7, "URL"), 103, "HTTP://x/"), 111, std::string("tail\0", 5)),
       {"tail"}},
      {"+104 is taken whatever it holds", Place(Place(blank, 1, "URL"), 105, std::string(8, '\0')), {""}},
      {"URL inside other data", Place(blank, 500, "xxCURLy"), {std::string(150, '.')}},
      {"hit in the last 246 bytes ends the scan",
       Place(Place(Place(blank, 800, "URL"), 896, std::string("http://c/\0", 10)), 950, "URL"),
       {"http://c/"}},
      {"hit at the last position examined", Place(blank, 994, "URL"), {""}},
      {"hit one byte later is not examined", Place(blank, 995, "URL"), {}},
      {"hits are not merged", Place(blank, 10, "URLURL"), {std::string(150, '.'), std::string(150, '.')}},
  };
  for (const Case& c : cases) {
    Rows rows = Scan(c.file);
    std::vector<std::string> visible;
    for (const auto& r : rows) {
      EXPECT_EQ(r.size(), 150u) << c.name;
      visible.push_back(Visible(r));
    }
    EXPECT_EQ(visible, c.visible) << c.name;
    EXPECT_EQ(rows, test::PerByteIndexScan(c.file)) << c.name;
  }
}

TEST(IndexDatScanner, EndOfFileChoicesMatchTheReference) {
  // A hit whose +96 text is "http" reads 246 bytes; one whose text is not
  // reads 254: around those distances from the end the scan either goes on
  // to a later hit or stops.
  for (size_t tail = 240; tail <= 260; ++tail) {
    for (bool http : {true, false}) {
      std::string file(600, '.');
      size_t hit = file.size() - tail;
      file = Place(file, 20, "URL");  // an early hit, always listed
      file = Place(file, hit, "URL");
      if (http) file = Place(file, hit + 96, "http");
      file = Place(file, file.size() - 8, "URL");  // listed only if the scan went on
      Rows rows = Scan(file);
      EXPECT_EQ(rows, test::PerByteIndexScan(file)) << tail << (http ? " http" : " other");
      bool goesOn = hit + (http ? 246 : 254) <= file.size();
      EXPECT_EQ(rows.size(), goesOn ? 3u : 2u) << tail << (http ? " http" : " other");
    }
  }
  for (const char* file : {"", "U", "URL", "xURL", "URLxxxx", "xxxxURL", "xURLxxx", "xxURLxxx"}) {
    EXPECT_EQ(Scan(file), test::PerByteIndexScan(file)) << file;
  }
  EXPECT_EQ(Scan("URL").size(), 1u);
  EXPECT_EQ(Scan("xxxxURL").size(), 0u);
}

// Random files, and the real cache index file, in windows of any size.
TEST(IndexDatScanner, MatchesThePerByteReferenceInAnyWindowing) {
  std::mt19937 random(7);
  const std::string alphabet = "URLhtp:/\0x";
  const std::string real = test::ReadFixture("ie/Content.IE5/index.dat");
  for (int round = 0; round < 400; ++round) {
    size_t length = random() % 3000;
    std::string file(length, '\0');
    for (char& c : file) c = alphabet[random() % alphabet.size()];
    // Plant whole records too, so +96 texts begin with "http" at times.
    for (int k = 0; k < 4 && length > 300; ++k) {
      size_t at = random() % (length - 110);
      file = Place(file, at, "URL");
      file = Place(file, at + 96, "http://r/");
    }
    if (round == 0 && !real.empty()) file = real;
    const Rows expected = test::PerByteIndexScan(file);
    ASSERT_EQ(Scan(file), expected) << "round " << round;
    for (size_t chunk : {1, 7, 64, 255, 1024}) ASSERT_EQ(ScanInWindows(file, chunk), expected) << round << "/" << chunk;
  }
}

}  // namespace
}  // namespace tmr
