// What a tree click and a row double-click do, by category key. Keys are
// compared literally (case matters).
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "readers/ListTarget.h"

namespace tmr {

// A source routine: reads its store and fills the list by the fill order.
using SourceFn = std::function<void(ListTarget&)>;

// The sources that have been built, by key. A key with no entry (a root, or
// a category whose source is not there) runs nothing and leaves the list
// and the status bar as they are.
class SourceTable {
 public:
  void Register(std::string key, SourceFn source);
  const SourceFn* Find(std::string_view key) const;

 private:
  std::map<std::string, SourceFn, std::less<>> sources_;
};

enum class RowAction {
  kNothing,
  kOpenFirstColumn,  // hand the row's text to the shell
  kOpenCookieFolder  // open the user's cookie folder, whatever the row
};

// Decided by the key of the node selected in the tree at the moment of the
// double-click, not by the source that filled the list.
RowAction RowActionFor(std::string_view selectedKey);

}  // namespace tmr
