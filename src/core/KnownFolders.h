// Known folder identifiers as the shell writes them at the start of the
// paths it keeps (program use counts, the activity history):
// "{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}\cmd.exe" is cmd.exe in the system
// folder. Only the folders such paths start with in practice are known.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tmr {

// The folder's usual path, written with the environment variables it is
// defined by ("%windir%\System32", "%APPDATA%\...") so the text is true on
// any installation and a reader can expand it against the machine the path
// came from. The identifier in braces, letters in either case; nullopt for
// one not in the table.
std::optional<std::string_view> KnownFolderPath(std::string_view braced);

// The path with a leading known folder identifier replaced by the folder's
// path; any other path (an unknown identifier, one not followed by "\" or
// the end) as it is.
std::string ExpandKnownFolderPrefix(std::string_view path);

}  // namespace tmr
