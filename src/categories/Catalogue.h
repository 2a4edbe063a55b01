// The category tree: every node, in the order it is added.
#pragma once

#include <span>
#include <string_view>

namespace tmr {

struct CatalogueNode {
  std::string_view key;
  std::string_view parent;  // empty for a root
  std::string_view text;
};

std::span<const CatalogueNode> Catalogue();

// True for the four roots, which have no records.
bool IsRootKey(std::string_view key);

}  // namespace tmr
