// The line settings that the comm API's documentation calls invalid, checked
// the same way by every backend before a SetCommState reaches a driver (Wine
// passes some of them through where Windows refuses them).
#pragma once

#include <string>

#include "platform/comm_api.h"

namespace platform {

// Why the settings cannot be applied, or "" when they can: 5 data bits with
// two stop bits, 6 to 8 data bits with 1.5 stop bits, and the same character
// for XON and XOFF.
inline std::string BrokenDcbRule(const DCB& dcb) {
  if (dcb.ByteSize == 5 && dcb.StopBits == TWOSTOPBITS) {
    return "5 data bits cannot have 2 stop bits.";
  }
  if (dcb.ByteSize >= 6 && dcb.ByteSize <= 8 && dcb.StopBits == ONE5STOPBITS) {
    return std::to_string(dcb.ByteSize) + " data bits cannot have 1.5 stop bits.";
  }
  if (dcb.XonChar == dcb.XoffChar) return "XON and XOFF are the same character.";
  return "";
}

}  // namespace platform
