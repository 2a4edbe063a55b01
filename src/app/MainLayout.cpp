#include "app/MainLayout.h"

namespace tmr {
namespace {

std::optional<int> SizeOrRefused(int value) {
  if (value < 0) return std::nullopt;
  return value;
}

}  // namespace

MainLayout ComputeMainLayout(int w, int h) {
  MainLayout layout;
  layout.treeHeight = SizeOrRefused(h - 750);
  layout.listHeight = SizeOrRefused(h - 750);
  layout.listWidth = SizeOrRefused(w - 3200);
  layout.panel1Width = SizeOrRefused(w - 2400);
  layout.labelLeft = w - 4500;
  layout.labelTop = h - 500;
  layout.cancelLeft = w - 3100;
  layout.cancelTop = h - 230;
  return layout;
}

}  // namespace tmr
