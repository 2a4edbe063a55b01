#include <gtest/gtest.h>

#include "categories/Catalogue.h"
#include "categories/Dispatch.h"

namespace tmr {
namespace {

TEST(RowActionFor, FollowsTheDoubleClickTable) {
  for (const char* key : {"a1", "a2", "a4", "b1", "c1", "c3", "d1", "d3"}) {
    EXPECT_EQ(RowActionFor(key), RowAction::kOpenFirstColumn) << key;
  }
  EXPECT_EQ(RowActionFor("a3"), RowAction::kOpenCookieFolder);
  for (const char* key : {"b2", "b3", "b4", "b5",   "b6",    "b7",    "b8",    "c2", "c4", "c5",
                          "d2", "d4", "d5", "root", "root2", "root3", "root4", "",   "A1", "a1 "}) {
    EXPECT_EQ(RowActionFor(key), RowAction::kNothing) << key;
  }
}

TEST(SourceTable, FindsExactKeysOnly) {
  SourceTable table;
  int runs = 0;
  table.Register("a1", [&](ListTarget&) { ++runs; });
  EXPECT_NE(table.Find("a1"), nullptr);
  EXPECT_EQ(table.Find("A1"), nullptr);
  EXPECT_EQ(table.Find("a"), nullptr);
  EXPECT_EQ(table.Find("a1 "), nullptr);
}

TEST(Catalogue, RootsAreTheNodesWithoutParent) {
  int roots = 0;
  for (const auto& node : Catalogue()) {
    EXPECT_EQ(IsRootKey(node.key), node.parent.empty()) << node.key;
    if (node.parent.empty()) ++roots;
  }
  EXPECT_EQ(roots, 4);
}

}  // namespace
}  // namespace tmr
