// The folders that tests put in place of the executable's folder and of a
// drive; kept in one place for every platform's path rules.
#pragma once

#include <map>
#include <string>

namespace platform {

// "" when the executable's folder is not overridden.
std::string& FolderOverride();
// Drive letter (lower case) -> folder.
std::map<char, std::string>& DriveOverrides();

}  // namespace platform
