// A text file opened for appending: existing content stays, every write goes
// to the end, and every line feed is stored as carriage return and line feed.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace platform {

class AppendTextFile {
 public:
  AppendTextFile() = default;
  ~AppendTextFile();
  AppendTextFile(const AppendTextFile&) = delete;
  AppendTextFile& operator=(const AppendTextFile&) = delete;

  // Opens (creating if needed) the file at a path of this system. On failure
  // returns false and leaves the system's reason in *reason.
  bool Open(const std::string& path, std::string* reason = nullptr);
  bool IsOpen() const { return file_ != nullptr; }
  // Writes the text with each "\n" stored as "\r\n"; false when not open or
  // when the system refused the write.
  bool Write(std::string_view text);
  bool Flush();
  void Close();

  // Opens, writes one line (text and a line feed) and closes again.
  static bool AppendLine(const std::string& path, std::string_view text,
                         std::string* reason = nullptr);

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace platform
