// A folder that exists for the life of one object and is removed with it.
#pragma once

#include <string>

namespace testing_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // A name inside the folder, joined with the system's separator.
  std::string File(const std::string& name) const { return path_ + kSeparator + name; }

 private:
#if defined(_WIN32)
  static constexpr char kSeparator = '\\';
#else
  static constexpr char kSeparator = '/';
#endif
  std::string path_;
};

// The whole content of a file as bytes ("" when it does not exist).
std::string ReadFile(const std::string& path);

}  // namespace testing_support
