// Frames and reads written the way the traffic pane shows them: "02 30 30 ...".
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "protocol/frame.h"

namespace protocol::testing {

inline std::string BytesFromHex(std::string_view hex) {
  std::string bytes;
  std::string digits;
  for (char c : hex) {
    if (c == ' ') continue;
    digits.push_back(c);
    if (digits.size() == 2) {
      bytes.push_back(static_cast<char>(std::stoi(digits, nullptr, 16)));
      digits.clear();
    }
  }
  if (!digits.empty()) throw std::invalid_argument("odd number of hex digits");
  return bytes;
}

inline CommandFrame FrameFromHex(std::string_view hex) {
  const std::string bytes = BytesFromHex(hex);
  if (bytes.size() != FrameSize) throw std::invalid_argument("a frame has ten bytes");
  CommandFrame f{};
  for (std::size_t i = 0; i < FrameSize; ++i) f[i] = static_cast<std::uint8_t>(bytes[i]);
  return f;
}

// HexLine without its trailing space, to compare with the rows of a table.
inline std::string Hex(const CommandFrame& f) {
  std::string line = HexLine(f);
  line.pop_back();
  return line;
}

}  // namespace protocol::testing
