#include "app/MainLayout.h"

#include <algorithm>

namespace tmr {
namespace {

std::optional<int> SizeOrRefused(int value) {
  if (value < 0) return std::nullopt;
  return value;
}

}  // namespace

MainLayout ComputeMainLayout(int w, int h, int treeWidth) {
  using G = MainGeometry;
  MainLayout layout;
  layout.listLeft = G::kTreeLeft + treeWidth + G::kSplitterWidth;
  layout.treeHeight = SizeOrRefused(h - 750);
  layout.listHeight = SizeOrRefused(h - 750 - (G::kListTop - G::kTreeTop));
  layout.listWidth = SizeOrRefused(w - layout.listLeft - 200);
  layout.panel1Width = SizeOrRefused(w - 2400);
  layout.labelLeft = w - 4500;
  layout.labelTop = h - 500;
  layout.cancelLeft = w - 3100;
  layout.cancelTop = h - 230;
  return layout;
}

int ClampTreeWidth(int requested, int innerWidth) {
  using G = MainGeometry;
  const int widest = innerWidth - G::kTreeLeft - G::kSplitterWidth - 200 - G::kMinListWidth;
  return std::max(G::kMinTreeWidth, std::min(requested, widest));
}

}  // namespace tmr
