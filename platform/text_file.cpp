#include "platform/text_file.h"

#include <cerrno>
#include <cstring>

namespace platform {

AppendTextFile::~AppendTextFile() {
  Close();
}

bool AppendTextFile::Open(const std::string& path, std::string* reason) {
  Close();
  // Binary mode: the CR LF translation is ours, the same on every system.
  file_ = std::fopen(path.c_str(), "ab");
  if (file_ == nullptr && reason != nullptr) *reason = std::strerror(errno);
  return file_ != nullptr;
}

bool AppendTextFile::Write(std::string_view text) {
  if (file_ == nullptr) return false;
  // Piece by piece between the line feeds: a log line is written in two
  // calls, not one per character.
  while (!text.empty()) {
    const std::size_t feed = text.find('\n');
    const std::size_t piece = feed == std::string_view::npos ? text.size() : feed;
    if (std::fwrite(text.data(), 1, piece, file_) != piece) return false;
    if (feed == std::string_view::npos) break;
    if (std::fwrite("\r\n", 1, 2, file_) != 2) return false;
    text.remove_prefix(feed + 1);
  }
  return true;
}

bool AppendTextFile::Flush() {
  return file_ != nullptr && std::fflush(file_) == 0;
}

void AppendTextFile::Close() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

bool AppendTextFile::AppendLine(const std::string& path, std::string_view text,
                                std::string* reason) {
  AppendTextFile file;
  if (!file.Open(path, reason)) return false;
  std::string line(text);
  line.push_back('\n');
  const bool written = file.Write(line);
  const bool closed = std::fflush(file.file_) == 0;
  if ((!written || !closed) && reason != nullptr) *reason = std::strerror(errno);
  return written && closed;
}

}  // namespace platform
