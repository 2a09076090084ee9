#include "platform/dcb_termios.h"

#include <array>
#include <utility>

#include "platform/dcb_rules.h"

namespace platform {
namespace {

struct Rate {
  DWORD bps;
  speed_t speed;
};

constexpr std::array kRates = {
    Rate{50, B50},           Rate{75, B75},           Rate{110, B110},
    Rate{134, B134},         Rate{150, B150},         Rate{200, B200},
    Rate{300, B300},         Rate{600, B600},         Rate{1200, B1200},
    Rate{1800, B1800},       Rate{2400, B2400},       Rate{4800, B4800},
    Rate{9600, B9600},       Rate{19200, B19200},     Rate{38400, B38400},
    Rate{57600, B57600},     Rate{115200, B115200},   Rate{230400, B230400},
    Rate{460800, B460800},   Rate{500000, B500000},   Rate{576000, B576000},
    Rate{921600, B921600},   Rate{1000000, B1000000}, Rate{1152000, B1152000},
    Rate{1500000, B1500000}, Rate{2000000, B2000000}, Rate{2500000, B2500000},
    Rate{3000000, B3000000}, Rate{3500000, B3500000}, Rate{4000000, B4000000},
};

constexpr std::array kSizes = {CS5, CS6, CS7, CS8};

bool Fail(std::string* reason, std::string text) {
  if (reason != nullptr) *reason = std::move(text);
  return false;
}

bool Valid(const DCB& dcb, std::string* reason) {
  if (dcb.BaudRate == 0) return Fail(reason, "Baud rate 0 is not a line speed.");
  if (dcb.ByteSize < 5 || dcb.ByteSize > 8) {
    return Fail(reason, "Byte size " + std::to_string(dcb.ByteSize) + " is not 5 to 8.");
  }
  if (dcb.Parity > SPACEPARITY) {
    return Fail(reason, "Parity " + std::to_string(dcb.Parity) + " is unknown.");
  }
  if (dcb.StopBits > TWOSTOPBITS) {
    return Fail(reason, "Stop bits " + std::to_string(dcb.StopBits) + " is unknown.");
  }
  const std::string broken = BrokenDcbRule(dcb);
  if (!broken.empty()) return Fail(reason, broken);
  return true;
}

void MakeRaw(termios& t) {
  t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | IGNPAR | PARMRK | ISTRIP | INLCR | IGNCR |
                                      ICRNL | IUCLC | IXANY | IMAXBEL);
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST | ONLCR | OCRNL | ONOCR | ONLRET | OLCUC);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOPRT | ECHOKE |
                                      ICANON | ISIG | IEXTEN | TOSTOP);
  t.c_cflag |= CLOCAL | CREAD;
  // Reads return at once with what is there; the caller polls.
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
}

void SetFlag(tcflag_t& flags, tcflag_t bit, bool on) {
  if (on) {
    flags |= bit;
  } else {
    flags &= ~bit;
  }
}

}  // namespace

std::optional<speed_t> StandardSpeed(DWORD rate) {
  for (const Rate& r : kRates) {
    if (r.bps == rate) return r.speed;
  }
  return std::nullopt;
}

std::optional<TermiosSettings> DcbToTermios(const DCB& dcb, const termios& old,
                                            std::string* reason) {
  if (!Valid(dcb, reason)) return std::nullopt;
  TermiosSettings out;
  termios& t = out.tio;
  t = old;
  MakeRaw(t);

  if (const auto speed = StandardSpeed(dcb.BaudRate)) {
    cfsetospeed(&t, *speed);
    cfsetispeed(&t, *speed);
  } else {
    // Input and output at the one rate carried in c_ospeed.
    t.c_cflag &= ~static_cast<tcflag_t>(CBAUD | CIBAUD);
    t.c_cflag |= kOtherSpeed;
    t.c_ispeed = dcb.BaudRate;
    t.c_ospeed = dcb.BaudRate;
    out.customRate = dcb.BaudRate;
  }

  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE);
  t.c_cflag |= kSizes[dcb.ByteSize - 5];

  t.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD | CMSPAR);
  switch (dcb.Parity) {
    case ODDPARITY:
      t.c_cflag |= PARENB | PARODD;
      break;
    case EVENPARITY:
      t.c_cflag |= PARENB;
      break;
    case MARKPARITY:
      t.c_cflag |= PARENB | CMSPAR | PARODD;
      break;
    case SPACEPARITY:
      t.c_cflag |= PARENB | CMSPAR;
      break;
    default:
      break;
  }
  // fParity asks for received parity to be checked.
  SetFlag(t.c_iflag, INPCK, dcb.fParity != 0 && dcb.Parity != NOPARITY);

  // The driver has no 1.5 stop bits outside 5-bit characters; two is the
  // nearest it sends.
  SetFlag(t.c_cflag, CSTOPB, dcb.StopBits != ONESTOPBIT);

  SetFlag(t.c_cflag, CRTSCTS, dcb.fRtsControl == RTS_CONTROL_HANDSHAKE || dcb.fOutxCtsFlow != 0);
  SetFlag(t.c_iflag, IXON, dcb.fOutX != 0);
  SetFlag(t.c_iflag, IXOFF, dcb.fInX != 0);
  t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
  t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
  return out;
}

DCB TermiosToDcb(const termios& t, DWORD customRate, const DCB& kept) {
  DCB d = kept;
  d.DCBlength = sizeof(DCB);

  const speed_t speed = t.c_cflag & CBAUD;
  d.BaudRate = 0;
  if (speed == kOtherSpeed) {
    d.BaudRate = customRate;
  } else {
    for (const Rate& r : kRates) {
      if (r.speed == speed) d.BaudRate = r.bps;
    }
  }

  switch (t.c_cflag & CSIZE) {
    case CS5:
      d.ByteSize = 5;
      break;
    case CS6:
      d.ByteSize = 6;
      break;
    case CS7:
      d.ByteSize = 7;
      break;
    default:
      d.ByteSize = 8;
      break;
  }

  if ((t.c_cflag & PARENB) == 0) {
    d.Parity = NOPARITY;
  } else if ((t.c_cflag & CMSPAR) != 0) {
    d.Parity = (t.c_cflag & PARODD) != 0 ? MARKPARITY : SPACEPARITY;
  } else {
    d.Parity = (t.c_cflag & PARODD) != 0 ? ODDPARITY : EVENPARITY;
  }
  // Without parity, checking cannot be told from the termios; keep it.
  if (d.Parity != NOPARITY) d.fParity = (t.c_iflag & INPCK) != 0 ? 1 : 0;

  const bool two = (t.c_cflag & CSTOPB) != 0;
  if (!two) {
    d.StopBits = ONESTOPBIT;
  } else if (kept.StopBits == ONESTOPBIT) {
    d.StopBits = TWOSTOPBITS;
  }

  const bool rtscts = (t.c_cflag & CRTSCTS) != 0;
  const bool keptRtscts = kept.fRtsControl == RTS_CONTROL_HANDSHAKE || kept.fOutxCtsFlow != 0;
  if (rtscts != keptRtscts) {
    // Someone else changed the line: report what the driver does.
    d.fOutxCtsFlow = rtscts ? 1 : 0;
    if (rtscts) {
      d.fRtsControl = RTS_CONTROL_HANDSHAKE;
    } else if (kept.fRtsControl == RTS_CONTROL_HANDSHAKE) {
      d.fRtsControl = RTS_CONTROL_ENABLE;
    }
  }

  d.fOutX = (t.c_iflag & IXON) != 0 ? 1 : 0;
  d.fInX = (t.c_iflag & IXOFF) != 0 ? 1 : 0;
  d.XonChar = static_cast<char>(t.c_cc[VSTART]);
  d.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
  return d;
}

}  // namespace platform
