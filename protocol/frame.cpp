#include "protocol/frame.h"

namespace protocol {

std::uint8_t FrameChecksum(const CommandFrame& frame) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < 8; ++i) sum += frame[i];
  return static_cast<std::uint8_t>(sum % 256);
}

CommandFrame MakeFrame(std::uint8_t id10, std::uint8_t id1, std::string_view field) {
  CommandFrame f{};
  f[0] = STX;
  f[1] = id10;
  f[2] = id1;
  for (std::size_t i = 0; i < 5; ++i) {
    f[3 + i] = i < field.size() ? static_cast<std::uint8_t>(field[i]) : '0';
  }
  f[8] = FrameChecksum(f);
  f[9] = ETX;
  return f;
}

std::string HexLine(const std::uint8_t* bytes, std::size_t count) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string line;
  line.reserve(count * 3);
  for (std::size_t i = 0; i < count; ++i) {
    line.push_back(digits[bytes[i] >> 4]);
    line.push_back(digits[bytes[i] & 0x0F]);
    line.push_back(' ');
  }
  return line;
}

std::string HexLine(const CommandFrame& frame) {
  return HexLine(frame.data(), frame.size());
}

}  // namespace protocol
