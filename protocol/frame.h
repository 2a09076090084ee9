// The 10-byte frame that travels in both directions on the line:
// STX, two ID characters, a five-character command field (a reply code and
// four data bytes in a reply), the checksum, ETX.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace protocol {

constexpr std::uint8_t STX = 0x02;
constexpr std::uint8_t ETX = 0x03;
constexpr std::uint8_t ACK = 0x06;
constexpr std::uint8_t FailureByte = 0x0A;

constexpr std::size_t FrameSize = 10;

using CommandFrame = std::array<std::uint8_t, FrameSize>;

// Sum of bytes 0 to 7, modulo 256; no seed, no complement.
std::uint8_t FrameChecksum(const CommandFrame& frame);

// STX, the ID characters, the five-character field, checksum, ETX.
CommandFrame MakeFrame(std::uint8_t id10, std::uint8_t id1, std::string_view field);

// "02 30 30 53 ... 03 ": two upper-case digits and one space per byte.
std::string HexLine(const std::uint8_t* bytes, std::size_t count);
std::string HexLine(const CommandFrame& frame);

}  // namespace protocol
