// Numbers typed into the window's edits, converted the way the window
// toolkit converts them, and the ID characters taken from an edit's text.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace protocol {

// The toolkit's conversion error; its message is shown by the last-resort
// error display.
class EConvertError : public std::runtime_error {
  using runtime_error::runtime_error;
};

// Decimal integer with optional blanks before and after it and an optional
// sign; "$1F", "0x1F" and "0X1F" are read as hexadecimal. Decimal values must
// fit in 32 signed bits; hexadecimal ones may use all 32 bits ("$FFFFFFFF" is
// -1). Anything else throws EConvertError with the message
// "'<text>' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);

// First character of an edit's text as a byte, 0 for empty text.
std::uint8_t FirstChar(std::string_view text);

}  // namespace protocol
