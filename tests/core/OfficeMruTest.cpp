// The items of the Office programs' recent lists, as written from
// Office 2007 on, and texts that only look like them.
#include <gtest/gtest.h>

#include "core/OfficeMru.h"

namespace tmr {
namespace {

TEST(OfficeMru, FieldsThenStarThenPath) {
  struct Case {
    const char* text;
    const char* path;
    uint64_t time;
  };
  const Case cases[] = {
      {"[F00000000][T01D3C3B1E4F8D0B0][O00000000]*C:\\Users\\x\\doc.docx", "C:\\Users\\x\\doc.docx",
       0x01D3C3B1E4F8D0B0},
      {"[F00000000][T01cd10ec460129a0]*\\\\server\\share\\b.xlsx", "\\\\server\\share\\b.xlsx", 0x01CD10EC460129A0},
      {"[F00000001][O00000000]*D:\\pinned.pptx", "D:\\pinned.pptx", 0},  // no time field
      {"[T01D3C3B1E4F8D0B0]*", "", 0x01D3C3B1E4F8D0B0},
      // Older versions: the path alone.
      {"C:\\old\\list.doc", "C:\\old\\list.doc", 0},
      {"*C:\\star.doc", "*C:\\star.doc", 0},
      // Fields that are not well formed leave the whole text as the path.
      {"[T01D3C3B1E4F8D0B0][O00000000]C:\\no-star.doc", "[T01D3C3B1E4F8D0B0][O00000000]C:\\no-star.doc", 0},
      {"[T01D3C3B1E4F8D0B0FF]*C:\\a", "[T01D3C3B1E4F8D0B0FF]*C:\\a", 0},  // 18 digits
      {"[T]*C:\\a", "[T]*C:\\a", 0},
      {"[TXYZ]*C:\\a", "[TXYZ]*C:\\a", 0},
  };
  for (const Case& c : cases) {
    const OfficeMruItem item = DecodeOfficeMruItem(c.text);
    EXPECT_EQ(item.path, c.path) << c.text;
    EXPECT_EQ(item.lastUsed, c.time) << c.text;
  }
}

}  // namespace
}  // namespace tmr
