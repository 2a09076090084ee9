// Windows: names and paths are the system's own and are used as they stand.
#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/path_overrides.h"
#include "platform/paths.h"

namespace platform {
namespace {

bool EndsInSeparator(const std::string& path) {
  return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

}  // namespace

std::string Prefix() {
  const char* prefix = std::getenv("RM460_PREFIX");
  if (prefix != nullptr && *prefix != '\0') return prefix;
  const char* profile = std::getenv("USERPROFILE");
  return std::string(profile != nullptr ? profile : ".") + "\\.rm460";
}

std::string ExecutableFolder() {
  if (!FolderOverride().empty()) {
    const std::string& f = FolderOverride();
    return EndsInSeparator(f) ? f : f + "\\";
  }
  // Long paths need a second try with a bigger buffer.
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return ".\\";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    if (path.size() >= 32768) return ".\\";
    path.resize(path.size() * 2);
  }
  const auto slash = path.find_last_of("\\/");
  return slash == std::string::npos ? ".\\" : path.substr(0, slash + 1);
}

std::string ResolveComDevice(const std::string& name) {
  return name;
}

std::string ResolveFilePath(const std::string& path) {
  if (path.size() < 2 || path[1] != ':' || !std::isalpha(static_cast<unsigned char>(path[0]))) {
    return path;
  }
  const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
  const auto overridden = DriveOverrides().find(drive);
  if (overridden == DriveOverrides().end()) return path;
  std::size_t start = 2;
  while (start < path.size() && (path[start] == '/' || path[start] == '\\')) ++start;
  return overridden->second + "\\" + path.substr(start);
}

}  // namespace platform
