// Named colours, as RGB values 0xRRGGBB.
#pragma once

#include <cstdint>

namespace toolkit {

using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clRed = 0xFF0000;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clBlue = 0x0000FF;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clCream = 0xFFFBF0;
constexpr TColor clAppWorkSpace = 0xABABAB;
constexpr TColor clBtnFace = 0xF0F0F0;
constexpr TColor clWindow = 0xFFFFFF;
constexpr TColor clWindowText = 0x000000;

constexpr std::uint8_t Red(TColor c) {
  return static_cast<std::uint8_t>(c >> 16);
}
constexpr std::uint8_t Green(TColor c) {
  return static_cast<std::uint8_t>(c >> 8);
}
constexpr std::uint8_t Blue(TColor c) {
  return static_cast<std::uint8_t>(c);
}

}  // namespace toolkit
