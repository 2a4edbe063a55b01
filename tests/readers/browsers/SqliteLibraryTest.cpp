// The SQLite layer itself: binding the library by name, the wrappers'
// results, column texts and the read-only names files are opened under.
#include <gtest/gtest.h>

#include "platform/DynamicLibrary.h"
#include "platform/Handles.h"
#include "platform/WinText.h"
#include "readers/browsers/BrowserReaders.h"
#include "readers/browsers/MappedFileVfs.h"
#include "readers/browsers/SqliteLibrary.h"
#include "support/ScratchDatabase.h"
#include "support/TempDir.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

std::string FakeLibraryFolder() { return Narrow(test::TestProgramFolder()) + "\\fake_sqlite"; }

TEST(SqliteBinder, ErrorsNameTheMissingPiece) {
  DynamicLibrary binder;
  try {
    binder.Resolve("sqlite3_step");
    FAIL() << "resolved without a library";
  } catch (const BinderError& e) {
    EXPECT_EQ(e.Number(), kErrDllNotLoaded);
    EXPECT_STREQ(e.what(), "DLL not loaded");
    EXPECT_EQ(BinderError::Source(), "DynamicLibrary");
  }
  ASSERT_TRUE(binder.Load(FakeLibraryFolder() + "\\tmere3.dll"));
  EXPECT_NE(binder.Resolve("sqlite3_initialize"), nullptr);
  try {
    binder.Resolve("Sqlite3_Open_V2");
    FAIL() << "resolved a function the library lacks";
  } catch (const BinderError& e) {
    EXPECT_EQ(e.Number(), kErrFunctionNotFound);
    EXPECT_STREQ(e.what(), "Failed to locate function: Sqlite3_Open_V2");
  }
  EXPECT_TRUE(binder.Unload());
  EXPECT_FALSE(binder.Unload());
  EXPECT_FALSE(binder.Load(FakeLibraryFolder() + "\\missing.dll"));
}

TEST(SqliteLayer, WrappersAnswerOneUntilReadyAndALackingLibraryRaises) {
  SqliteLibrary layer;
  sqlite3* db = nullptr;
  EXPECT_EQ(layer.Open("x.db", &db), kSqliteError);
  EXPECT_EQ(layer.Step(nullptr), kSqliteError);
  EXPECT_EQ(layer.ColumnBytes(nullptr, 0), 0);
  EXPECT_EQ(layer.ColumnText(nullptr, 0), "");
  EXPECT_EQ(layer.Unload(), kSqliteError);
  test::TempDir empty;
  EXPECT_EQ(layer.Load(empty.str()), kSqliteError);
  EXPECT_FALSE(layer.Ready());

  // The stand-in initialises, so the layer is ready until a function it
  // lacks is wanted.
  ASSERT_EQ(layer.Load(FakeLibraryFolder() + "\\sub\\.."), kSqliteOk);
  EXPECT_TRUE(layer.Ready());
  EXPECT_THROW(layer.Open("x.db", &db), BinderError);
  EXPECT_EQ(layer.Unload(), kSqliteOk);
  EXPECT_FALSE(layer.Ready());
}

TEST(SqliteLayer, ColumnsArriveAsTextAndSqlAsUtf8) {
  test::TempDir temp;
  auto file = temp.path() / "values.sqlite";
  test::ScratchDatabase(file).Exec(
      "CREATE TABLE t(a, b, c, d, e);"
      "INSERT INTO t VALUES(NULL, 42, 1.5, 'k\xC3\xB6ln \xF0\x9F\x98\x80', x'610062');"
      "CREATE TABLE counts(n);"
      "INSERT INTO counts VALUES(0), (-9223372036854775808), (9223372036854775807), (-7), (2.5), ('12 visits'), "
      "(NULL), (x'3100');");
  SqliteSession session;
  ASSERT_TRUE(session.Open(Narrow(file.wstring())));
  std::vector<std::string> cells;
  // A multi-byte literal: the statement's length is given in bytes.
  size_t rows = session.ForEachRow("SELECT a, b, c, d, e, '\xE2\x82\xAC\xE2\x82\xAC' FROM t", [&](const SqliteRow& r) {
    for (int c = 0; c < 6; ++c) cells.push_back(r.Text(c));
    return true;
  });
  EXPECT_EQ(rows, 1u);
  EXPECT_EQ(cells, (std::vector<std::string>{"", "42", "1.5", "k\xC3\xB6ln \xF0\x9F\x98\x80", "a",
                                             "\xE2\x82\xAC\xE2\x82\xAC"}));
  EXPECT_EQ(session.Count("SELECT count(*) FROM t"), 1);
  // The count maps the store, and lets the mapping go: the rows read next
  // must not keep every page they touch.
  double mapped = -1;
  session.ForEachRow("PRAGMA mmap_size", [&](const SqliteRow& r) {
    mapped = r.Number(0);
    return true;
  });
  EXPECT_EQ(mapped, 0);
  // A column of counts gives the text SQLite would, whatever it holds.
  std::vector<std::string> counts;
  std::vector<std::string> texts;
  session.ForEachRow("SELECT n FROM counts", [&](const SqliteRow& r) {
    std::string scratch;
    counts.emplace_back(r.CountView(0, scratch));
    texts.push_back(r.Text(0));
    return true;
  });
  EXPECT_EQ(counts, texts);
  EXPECT_EQ(counts, (std::vector<std::string>{"0", "-9223372036854775808", "9223372036854775807", "-7", "2.5",
                                              "12 visits", "", "1"}));
  EXPECT_EQ(session.ForEachRow("SELECT * FROM missing_table", [](const SqliteRow&) { return true; }), 0u);
}

// Shaped rows hand out views: into SQLite's value where the text needs no
// decoding, into the row's reused buffers where it does. Each row must
// give its own texts, whichever kind its neighbours had.
TEST(SqliteLayer, ShapedRowsKeepTheirOwnTexts) {
  test::TempDir temp;
  auto file = temp.path() / "mixed.sqlite";
  test::ScratchDatabase(file).Exec(
      "CREATE TABLE t(a, b, c);"
      "INSERT INTO t VALUES('plain', 'k\xC3\xB6ln', x'61006200'),"
      "('caf\xC3\xA9', 'an ASCII text of more than sixteen bytes', x'41E282'),"
      "(NULL, '', 7), ('\xF0\x9F\x98\x80', 'k\xC3\xB6ln', 'x');");
  auto shape = [](const SqliteRow& row, RowCells& out) {
    for (int c = 0; c < 2; ++c) out.AddColumn(row, c);
    out.AddCountColumn(row, 2);
    std::string& joined = out.Buffer();
    joined.assign(1, '#');
    out.Add(joined);
  };
  std::vector<std::vector<std::string>> rows;
  std::vector<CellKind> countKinds;
  const std::size_t read = ReadRows({Narrow(file.wstring()), "SELECT a, b, c FROM t", shape, "", {"t"}}, nullptr,
                                    [&](std::span<const CellValue> cells) {
                                      rows.emplace_back();
                                      for (const CellValue& cell : cells)
                                        rows.back().push_back(UtcIsoCellFormat().Text(cell));
                                      countKinds.push_back(cells[2].Kind());
                                      return true;
                                    });
  EXPECT_EQ(read, 4u);
  EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{
                      {"plain", "k\xC3\xB6ln", "a", "#"},
                      {"caf\xC3\xA9", "an ASCII text of more than sixteen bytes", "A?", "#"},
                      {"", "", "7", "#"},
                      {"\xF0\x9F\x98\x80", "k\xC3\xB6ln", "x", "#"}}));
  // A count is a number only where the store holds an integer.
  EXPECT_EQ(countKinds, (std::vector<CellKind>{CellKind::kText, CellKind::kText, CellKind::kNumber, CellKind::kText}));
}

// Stored times become exact instants, whatever form the column holds them
// in; a double would round 13,300,000,000,999,999 microseconds (above 2^53)
// onto the next second.
TEST(SqliteLayer, TimeColumnsGiveExactInstants) {
  test::TempDir temp;
  auto file = temp.path() / "times.sqlite";
  test::ScratchDatabase(file).Exec(
      "CREATE TABLE t(chrome, unix, pr);"
      "INSERT INTO t VALUES(13300000000999999, 1500000000, 1309518981371935),"
      "('13300000000000001.9', 1.9, 0), (0, 'abc', '0.5'), (x'00', 9e300, 1e300);");
  auto shape = [](const SqliteRow& row, RowCells& out) {
    AddChromeTime(out, row, 0);
    AddUnixTime(out, row, 1);
    AddPRTime(out, row, 2);
  };
  struct Seen {
    CellKind kind;
    int64_t value;
    bool operator==(const Seen&) const = default;
  };
  std::vector<std::vector<Seen>> rows;
  ReadRows({Narrow(file.wstring()), "SELECT chrome, unix, pr FROM t", shape, "", {"t"}}, nullptr,
           [&](std::span<const CellValue> cells) {
             rows.emplace_back();
             for (const CellValue& cell : cells) rows.back().push_back({cell.Kind(), cell.NumberValue()});
             return true;
           });
  constexpr int64_t k1601 = kMicroseconds1601To1970;
  const Seen none{CellKind::kText, 0};
  auto time = [](int64_t instant) { return Seen{CellKind::kTime, instant}; };
  EXPECT_EQ(rows, (std::vector<std::vector<Seen>>{
                      {time(13300000000999999 - k1601), time(1500000000000000), time(1309518981371935)},
                      // A text or a real is read by its leading number; a
                      // zero PRTime is no time, a Chrome zero is 1601.
                      {time(13300000000000000 - k1601 + 2), time(1899999), none},
                      {time(-k1601), time(0), time(0)},
                      // No instant holds these.
                      {time(-k1601), none, none}}));
}

// A read that starts and ends while another is stepping (the window's
// messages run between rows) must leave the library initialised for the
// outer one: SQLite forbids shutting down under an open connection. The
// library tells: sqlite3_config is refused (misuse) only while it is
// initialised.
TEST(SqliteLayer, AReadInsideAnotherLeavesTheLibraryInitialised) {
  test::TempDir temp;
  auto file = temp.path() / "rows.sqlite";
  {
    test::ScratchDatabase db(file);
    db.Exec("CREATE TABLE t(a);");
    db.Exec(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 4000) "
        "INSERT INTO t SELECT printf('%0500d', i) FROM n;");
  }
  SqliteSession outer;
  ASSERT_TRUE(outer.Open(Narrow(file.wstring())));
  HMODULE library = GetModuleHandleW(Widen(std::string(kSqliteLibraryName)).c_str());
  ASSERT_NE(library, nullptr);
  using Config = int (*)(int, ...);
  const auto config = reinterpret_cast<Config>(reinterpret_cast<void*>(GetProcAddress(library, "sqlite3_config")));
  ASSERT_NE(config, nullptr);
  constexpr int kConfigMemStatus = 9;
  constexpr int kMisuse = 21;
  std::size_t seen = 0;
  std::size_t innerCount = 0;
  int configAfterInner = 0;
  outer.ForEachRow("SELECT a FROM t", [&](const SqliteRow&) {
    if (++seen == 10) {
      {
        SqliteSession inner;
        if (inner.Open(Narrow(file.wstring())))
          innerCount = static_cast<std::size_t>(inner.Count("SELECT count(*) FROM t"));
      }
      configAfterInner = config(kConfigMemStatus, 1);
    }
    return true;
  });
  EXPECT_EQ(innerCount, 4000u);
  EXPECT_EQ(seen, 4000u);
  EXPECT_EQ(configAfterInner, kMisuse) << "the inner read's end shut the library down";
}

// Pages come from a mapping of the file that is let go every few reads
// (here every 64 KB); a join's random lookups and a scan must read the same
// rows as SQLite reading the file itself, and pages the file gained after
// it was mapped must be read too.
TEST(SqliteLayer, MappedReadsGiveWhatTheFileHolds) {
  test::TempDir temp;
  auto file = temp.path() / "places.sqlite";
  test::ScratchDatabase writer(file);
  writer.Exec(
      "CREATE TABLE pages(id INTEGER PRIMARY KEY, url TEXT);"
      "CREATE TABLE visits(id INTEGER PRIMARY KEY, page INTEGER, at INTEGER);"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<6000) "
      "INSERT INTO pages SELECT i, 'https://site' || i || '.example/' || hex(randomblob(40)) FROM n;"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<12000) "
      "INSERT INTO visits SELECT i, 1 + (i * 7919) % 6000, i FROM n;");
  const std::string join = "SELECT url, at FROM visits JOIN pages ON pages.id = visits.page";
  const auto expected = writer.Query(join);

  const uint64_t usual = MappedReadsBeforeRemap();
  SetMappedReadsBeforeRemap(64 * 1024);
  ScopeExit restore([usual] { SetMappedReadsBeforeRemap(usual); });

  SqliteSession session;
  ASSERT_TRUE(session.Open(Narrow(file.wstring())));
  auto read = [&session](const std::string& sql) {
    std::vector<std::vector<std::string>> rows;
    session.ForEachRow(sql, [&](const SqliteRow& row) {
      rows.push_back({row.Text(0), row.Text(1)});
      return true;
    });
    return rows;
  };
  EXPECT_EQ(read(join), expected);
  writer.Exec(
      "WITH RECURSIVE n(i) AS (SELECT 6001 UNION ALL SELECT i+1 FROM n WHERE i<9000) "
      "INSERT INTO pages SELECT i, 'https://later' || i || '.example/' || hex(randomblob(40)) FROM n;");
  EXPECT_EQ(read("SELECT count(*), max(url) FROM pages"), writer.Query("SELECT count(*), max(url) FROM pages"));
}

TEST(SqliteLayer, FilesOpenUnderReadOnlyNames) {
  struct Case {
    const char* file;
    bool immutable;
    const char* name;
  };
  for (const Case& c : {Case{"C:\\Users\\me\\History", false, "file:///C:/Users/me/History?mode=ro"},
                        Case{"C:\\a b\\100%\\x#1?.db", true, "file:///C:/a b/100%25/x%231%3F.db?immutable=1"},
                        Case{"\\\\server\\share\\db", false, "file:////server/share/db?mode=ro"},
                        Case{"error440\\Google\\x", false, "file:error440/Google/x?mode=ro"}}) {
    EXPECT_EQ(SqliteOpenName(c.file, c.immutable), c.name);
  }
}

}  // namespace
}  // namespace tmr
