#include "categories/Catalogue.h"

#include <array>

namespace tmr {
namespace {

constexpr std::array<CatalogueNode, 26> kCatalogue{{
    {"root", "", "Internet Explorer "},
    {"a1", "root", "URL History"},
    {"a2", "root", "Address Bar"},
    {"a3", "root", "Cookies"},
    {"a4", "root", "Index.dat File"},
    {"root2", "", "Windows"},
    {"b1", "root2", "Recent Document"},
    {"b2", "root2", "Search History"},
    {"b3", "root2", "Run History"},
    {"b4", "root2", "Open/Save History"},
    {"b5", "root2", "List Visited History"},
    {"b6", "root2", "USB Storage History"},
    {"b7", "root2", "First Folder (Win7)"},
    {"b8", "root2", "Typed Paths (Win7)"},
    {"root3", "", "Firefox"},
    {"c1", "root3", "URL History"},
    {"c2", "root3", "Cookies"},
    {"c3", "root3", "Downloads"},
    {"c4", "root3", "Input History"},
    {"c5", "root3", "Form History"},
    {"root4", "", "Google Chrome"},
    {"d1", "root4", "URL History"},
    {"d2", "root4", "Cookies"},
    {"d3", "root4", "Downloads"},
    {"d4", "root4", "Top Visted Sites"},
    {"d5", "root4", "Keyword Searched"},
}};

}  // namespace

std::span<const CatalogueNode> Catalogue() { return kCatalogue; }

bool IsRootKey(std::string_view key) { return key == "root" || key == "root2" || key == "root3" || key == "root4"; }

}  // namespace tmr
