#include "platform/path_overrides.h"

#include <cctype>

#include "platform/paths.h"

namespace platform {

std::string& FolderOverride() {
  static std::string folder;
  return folder;
}

std::map<char, std::string>& DriveOverrides() {
  static std::map<char, std::string> drives;
  return drives;
}

void OverrideExecutableFolder(const std::string& folder) {
  FolderOverride() = folder;
}

void OverrideDriveFolder(char drive, const std::string& folder) {
  const char d = static_cast<char>(std::tolower(static_cast<unsigned char>(drive)));
  if (folder.empty()) {
    DriveOverrides().erase(d);
  } else {
    DriveOverrides()[d] = folder;
  }
}

}  // namespace platform
