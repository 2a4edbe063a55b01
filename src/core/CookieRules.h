// How the cookie category describes one entry of the cookie folder. Every
// name test is case-sensitive: "ABC.TXT" is not a text cookie file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tmr {

enum class CookieEntry {
  kListName,  // the name itself is the row ("user@site[1].txt")
  kReadFile,  // a ".txt" file: the row comes from its first line
  kSkip
};

CookieEntry ClassifyCookieEntry(std::string_view name);

// The first line as a line-oriented text read returns it: everything up to
// the first carriage return (a CR LF pair ends it as well). A lone line feed
// does not end a line, so a file of LF-ended lines is one line. nullopt for
// an empty file, which has no line to read.
std::optional<std::string_view> FirstTextLine(std::string_view content);

// The row of a ".txt" cookie file: the third piece of its first line split
// at line feeds (the site, in the cookie file layout); nullopt when the line
// has fewer than three pieces or the file is empty.
std::optional<std::string> CookieSiteFromContent(std::string_view content);

}  // namespace tmr
