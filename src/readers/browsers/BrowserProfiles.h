// Where the browsers keep the current user's profile, from the user's shell
// folders in the registry. Nothing is created and nobody is asked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tmr {

// The first Firefox profile in the order the file system lists the
// Profiles folder (on NTFS, alphabetical), without a trailing "\"; "" when
// there is none.
std::string FirefoxProfileFolder();

// Chrome's "default" profile, without a trailing "\"; other profiles are
// not looked at. "" when the user has no local application data folder.
std::string ChromeProfileFolder();

// The names of the subfolders of path, in the order the file system lists
// them; none for a folder that cannot be read.
std::vector<std::string> ListSubfolders(const std::string& path);

// The attribute rule of ListSubfolders: a folder with at most read-only,
// hidden, system and volume besides, or with exactly not-content-indexed.
// Any other bit (archive, compressed, encrypted ...) leaves it out.
bool IsListedFolderAttribute(uint32_t attributes);

}  // namespace tmr
