#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/path_overrides.h"
#include "platform/paths.h"

namespace platform {
namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

void MakeFolders(const std::string& path) {
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') ::mkdir(path.substr(0, i).c_str(), 0755);
  }
}

}  // namespace

std::string Prefix() {
  const char* prefix = std::getenv("RM460_PREFIX");
  if (prefix != nullptr && *prefix != '\0') return prefix;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.rm460";
}

std::string ExecutableFolder() {
  if (!FolderOverride().empty()) {
    const std::string& f = FolderOverride();
    return f.back() == '/' ? f : f + "/";
  }
  char buffer[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (n <= 0) return "./";
  std::string path(buffer, static_cast<std::size_t>(n));
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::string ResolveComDevice(const std::string& name) {
  if (name.size() < 4 || name.compare(0, 3, "COM") != 0) return name;
  const std::string digits = name.substr(3);
  for (char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return name;
  }
  const std::string link = Prefix() + "/dosdevices/com" + digits;
  struct stat st {};
  if (::lstat(link.c_str(), &st) == 0) return link;
  const long n = std::strtol(digits.c_str(), nullptr, 10);
  return "/dev/ttyS" + std::to_string(n - 1);
}

std::string ResolveFilePath(const std::string& path) {
  if (path.size() < 2 || path[1] != ':' || !std::isalpha(static_cast<unsigned char>(path[0]))) {
    return path;
  }
  const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
  std::string rest = path.substr(2);
  // "D://x" and "D:\x" both name x at the root of the drive.
  std::size_t start = 0;
  while (start < rest.size() && (rest[start] == '/' || rest[start] == '\\')) ++start;
  rest = rest.substr(start);
  for (char& c : rest) {
    if (c == '\\') c = '/';
  }
  const auto overridden = DriveOverrides().find(drive);
  if (overridden != DriveOverrides().end()) return overridden->second + "/" + rest;
  const std::string link = Prefix() + "/dosdevices/" + drive + ":";
  if (Exists(link)) return link + "/" + rest;
  const std::string folder = Prefix() + "/drive_" + drive;
  MakeFolders(folder);
  return folder + "/" + rest;
}

}  // namespace platform
