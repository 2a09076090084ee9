// Translation between the comm API's line settings (DCB) and termios. Pure:
// no device is touched, so every field can be checked without a port.
#pragma once

#include <termios.h>

#include <optional>
#include <string>

#include "platform/comm_api.h"

namespace platform {

struct TermiosSettings {
  termios tio{};
  // A rate with no B-constant (14400, 56000, ...). The caller applies it
  // together with tio through TCSETS2; 0 when the rate is a standard one.
  DWORD customRate = 0;
};

// The termios for a DCB, starting from the port's current termios: the DCB's
// rate, size, parity, stop bits and flow control, in raw mode (no echo, no
// CR/LF translation, no signals, reads that never wait), with the modem
// control lines ignored for carrier and the receiver on. Everything else in
// `old` is kept. Returns nothing, with a reason, for settings no line can
// take: rate 0 (that would hang the line up), ByteSize outside 5..8, Parity
// above SPACEPARITY, StopBits above TWOSTOPBITS.
std::optional<TermiosSettings> DcbToTermios(const DCB& dcb, const termios& old,
                                            std::string* reason = nullptr);

// The DCB a port with this termios reports. `customRate` is the line's real
// rate when the speed bits say "other" (read through TCGETS2). Fields that
// termios cannot hold come from `kept`, the DCB last set; so do the values
// termios cannot tell apart (RTS handshake against CTS flow, 1.5 against 2
// stop bits) while the termios still agrees with `kept`.
DCB TermiosToDcb(const termios& tio, DWORD customRate, const DCB& kept);

// The B-constant of a standard rate, or nothing.
std::optional<speed_t> StandardSpeed(DWORD rate);

// The speed bits that mean "the rate is in c_ospeed" (Linux BOTHER).
constexpr tcflag_t kOtherSpeed = 0010000;

}  // namespace platform
