#include "protocol/text_numbers.h"

#include <string>

namespace protocol {
namespace {

[[noreturn]] void Fail(std::string_view text) {
  throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::int32_t StrToInt(std::string_view text) {
  std::string_view s = text;
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);

  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }

  bool hex = false;
  if (!s.empty() && s.front() == '$') {
    hex = true;
    s.remove_prefix(1);
  } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    hex = true;
    s.remove_prefix(2);
  }
  if (s.empty()) Fail(text);

  // Magnitudes are gathered in 64 bits and checked at every digit, so no
  // length of text can overflow.
  const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  const unsigned base = hex ? 16 : 10;
  std::uint64_t magnitude = 0;
  for (char c : s) {
    const int d = hex ? HexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
    if (d < 0) Fail(text);
    magnitude = magnitude * base + static_cast<unsigned>(d);
    if (magnitude > limit) Fail(text);
  }

  // Two's complement wrap: "$FFFFFFFF" is -1, "-2147483648" is the minimum.
  std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
  if (negative) bits = 0u - bits;
  return static_cast<std::int32_t>(bits);
}

std::uint8_t FirstChar(std::string_view text) {
  return text.empty() ? 0 : static_cast<std::uint8_t>(text.front());
}

}  // namespace protocol
