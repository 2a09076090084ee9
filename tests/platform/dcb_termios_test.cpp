#include "platform/dcb_termios.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

// A terminal as a login session leaves it: echo, line editing, signals,
// CR/LF translation and XON/XOFF all on.
termios CookedTerminal() {
  termios t{};
  t.c_iflag = BRKINT | ICRNL | IXON | IMAXBEL | ISTRIP | INLCR | IGNCR | PARMRK;
  t.c_oflag = OPOST | ONLCR;
  t.c_cflag = B38400 | CS7 | CREAD | HUPCL;
  t.c_lflag = ISIG | ICANON | ECHO | ECHOE | ECHOK | ECHOCTL | ECHOKE | IEXTEN;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 5;
  t.c_cc[VSTART] = 0x11;
  t.c_cc[VSTOP] = 0x13;
  return t;
}

// The settings the port component starts from: 9600 8N1, no handshaking.
DCB Plain() {
  DCB d;
  d.BaudRate = 9600;
  d.fBinary = 1;
  d.ByteSize = 8;
  d.Parity = NOPARITY;
  d.StopBits = ONESTOPBIT;
  d.fRtsControl = RTS_CONTROL_DISABLE;
  return d;
}

TermiosSettings Translate(const DCB& dcb) {
  auto s = DcbToTermios(dcb, CookedTerminal());
  EXPECT_TRUE(s.has_value());
  return s.value_or(TermiosSettings{});
}

void ExpectSameDcb(const DCB& a, const DCB& b) {
  EXPECT_EQ(a.BaudRate, b.BaudRate);
  EXPECT_EQ(a.fBinary, b.fBinary);
  EXPECT_EQ(a.fParity, b.fParity);
  EXPECT_EQ(a.fOutxCtsFlow, b.fOutxCtsFlow);
  EXPECT_EQ(a.fOutxDsrFlow, b.fOutxDsrFlow);
  EXPECT_EQ(a.fDtrControl, b.fDtrControl);
  EXPECT_EQ(a.fDsrSensitivity, b.fDsrSensitivity);
  EXPECT_EQ(a.fTXContinueOnXoff, b.fTXContinueOnXoff);
  EXPECT_EQ(a.fOutX, b.fOutX);
  EXPECT_EQ(a.fInX, b.fInX);
  EXPECT_EQ(a.fErrorChar, b.fErrorChar);
  EXPECT_EQ(a.fNull, b.fNull);
  EXPECT_EQ(a.fRtsControl, b.fRtsControl);
  EXPECT_EQ(a.fAbortOnError, b.fAbortOnError);
  EXPECT_EQ(a.XonLim, b.XonLim);
  EXPECT_EQ(a.XoffLim, b.XoffLim);
  EXPECT_EQ(a.ByteSize, b.ByteSize);
  EXPECT_EQ(a.Parity, b.Parity);
  EXPECT_EQ(a.StopBits, b.StopBits);
  EXPECT_EQ(a.XonChar, b.XonChar);
  EXPECT_EQ(a.XoffChar, b.XoffChar);
  EXPECT_EQ(a.ErrorChar, b.ErrorChar);
  EXPECT_EQ(a.EofChar, b.EofChar);
  EXPECT_EQ(a.EvtChar, b.EvtChar);
}

// Translating and reading back gives the DCB that was set.
void ExpectRoundTrip(const DCB& dcb) {
  const TermiosSettings s = Translate(dcb);
  ExpectSameDcb(TermiosToDcb(s.tio, s.customRate, dcb), dcb);
}

TEST(DcbTermios, DataBits) {
  const struct {
    BYTE size;
    tcflag_t bits;
  } cases[] = {{5, CS5}, {6, CS6}, {7, CS7}, {8, CS8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.size));
    DCB d = Plain();
    d.ByteSize = c.size;
    EXPECT_EQ(Translate(d).tio.c_cflag & CSIZE, c.bits);
    ExpectRoundTrip(d);
  }
}

TEST(DcbTermios, Parity) {
  const struct {
    BYTE parity;
    DWORD check;
    tcflag_t cflag;
    tcflag_t iflag;
  } cases[] = {
      {NOPARITY, 0, 0, 0},
      {ODDPARITY, 0, PARENB | PARODD, 0},
      {EVENPARITY, 0, PARENB, 0},
      {MARKPARITY, 0, PARENB | PARODD | CMSPAR, 0},
      {SPACEPARITY, 0, PARENB | CMSPAR, 0},
      {ODDPARITY, 1, PARENB | PARODD, INPCK},
      {SPACEPARITY, 1, PARENB | CMSPAR, INPCK},
      // Checking asked for without a parity bit checks nothing.
      {NOPARITY, 1, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "parity " << int{c.parity} << " check " << c.check);
    DCB d = Plain();
    d.Parity = c.parity;
    d.fParity = c.check;
    const termios t = Translate(d).tio;
    EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), c.cflag);
    EXPECT_EQ(t.c_iflag & (INPCK | IGNPAR | PARMRK), c.iflag);
    ExpectRoundTrip(d);
  }
}

TEST(DcbTermios, StopBits) {
  const struct {
    BYTE stop;
    bool two;
    BYTE size;
  } cases[] = {{ONESTOPBIT, false, 8}, {ONE5STOPBITS, true, 5}, {TWOSTOPBITS, true, 8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.stop));
    DCB d = Plain();
    d.StopBits = c.stop;
    d.ByteSize = c.size;
    EXPECT_EQ((Translate(d).tio.c_cflag & CSTOPB) != 0, c.two);
    ExpectRoundTrip(d);
  }
  // Two stop bits set by another program read back as two, not 1.5.
  termios t = Translate(Plain()).tio;
  t.c_cflag |= CSTOPB;
  EXPECT_EQ(TermiosToDcb(t, 0, Plain()).StopBits, TWOSTOPBITS);
}

TEST(DcbTermios, Handshaking) {
  const struct {
    const char* name;
    DWORD rts, cts, outX, inX;
    tcflag_t cflag, iflag;
  } cases[] = {
      {"none", RTS_CONTROL_DISABLE, 0, 0, 0, 0, 0},
      {"none, RTS on", RTS_CONTROL_ENABLE, 0, 0, 0, 0, 0},
      {"RTS/CTS", RTS_CONTROL_HANDSHAKE, 1, 0, 0, CRTSCTS, 0},
      {"RTS handshake alone", RTS_CONTROL_HANDSHAKE, 0, 0, 0, CRTSCTS, 0},
      {"CTS flow left on", RTS_CONTROL_DISABLE, 1, 0, 0, CRTSCTS, 0},
      {"XON/XOFF", RTS_CONTROL_DISABLE, 0, 1, 1, 0, IXON | IXOFF},
      {"XON/XOFF out only", RTS_CONTROL_DISABLE, 0, 1, 0, 0, IXON},
      {"XON/XOFF in only", RTS_CONTROL_DISABLE, 0, 0, 1, 0, IXOFF},
      {"both", RTS_CONTROL_HANDSHAKE, 1, 1, 1, CRTSCTS, IXON | IXOFF},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DCB d = Plain();
    d.fRtsControl = c.rts;
    d.fOutxCtsFlow = c.cts;
    d.fOutX = c.outX;
    d.fInX = c.inX;
    d.XonChar = 0x01;
    d.XoffChar = 0x02;
    const termios t = Translate(d).tio;
    EXPECT_EQ(t.c_cflag & CRTSCTS, c.cflag);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY), c.iflag);
    EXPECT_EQ(t.c_cc[VSTART], 0x01);
    EXPECT_EQ(t.c_cc[VSTOP], 0x02);
    ExpectRoundTrip(d);
  }
}

TEST(DcbTermios, HandshakingChangedBehindOurBack) {
  DCB rtscts = Plain();
  rtscts.fRtsControl = RTS_CONTROL_HANDSHAKE;
  rtscts.fOutxCtsFlow = 1;
  termios t = Translate(rtscts).tio;
  t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
  const DCB off = TermiosToDcb(t, 0, rtscts);
  EXPECT_EQ(off.fRtsControl, RTS_CONTROL_ENABLE);
  EXPECT_EQ(off.fOutxCtsFlow, 0u);

  t = Translate(Plain()).tio;
  t.c_cflag |= CRTSCTS;
  const DCB on = TermiosToDcb(t, 0, Plain());
  EXPECT_EQ(on.fRtsControl, RTS_CONTROL_HANDSHAKE);
  EXPECT_EQ(on.fOutxCtsFlow, 1u);
}

TEST(DcbTermios, StandardRates) {
  const struct {
    DWORD rate;
    speed_t speed;
  } cases[] = {{110, B110},        {300, B300},       {1200, B1200},     {2400, B2400},
               {4800, B4800},      {9600, B9600},     {19200, B19200},   {38400, B38400},
               {57600, B57600},    {115200, B115200}, {230400, B230400}, {921600, B921600},
               {4000000, B4000000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rate);
    DCB d = Plain();
    d.BaudRate = c.rate;
    const TermiosSettings s = Translate(d);
    EXPECT_EQ(s.customRate, 0u);
    EXPECT_EQ(cfgetospeed(&s.tio), c.speed);
    EXPECT_EQ(cfgetispeed(&s.tio), c.speed);
    ExpectRoundTrip(d);
  }
}

TEST(DcbTermios, NonStandardRatesGoSeparately) {
  for (DWORD rate : {100u, 14400u, 56000u, 128000u, 250000u, 256000u}) {
    SCOPED_TRACE(rate);
    DCB d = Plain();
    d.BaudRate = rate;
    const TermiosSettings s = Translate(d);
    EXPECT_EQ(s.customRate, rate);
    EXPECT_EQ(s.tio.c_cflag & CBAUD, kOtherSpeed);
    EXPECT_EQ(s.tio.c_cflag & CIBAUD, 0u);
    ExpectRoundTrip(d);
  }
}

TEST(DcbTermios, RawModeFromCookedTerminal) {
  const termios t = Translate(Plain()).tio;
  EXPECT_EQ(t.c_lflag & (ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN), 0u);
  EXPECT_EQ(t.c_oflag & (OPOST | ONLCR), 0u);
  EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | PARMRK | BRKINT | IXON | IMAXBEL), 0u);
  EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
  EXPECT_EQ(t.c_cc[VMIN], 0);
  EXPECT_EQ(t.c_cc[VTIME], 0);
  // What the line settings do not cover stays as it was.
  EXPECT_NE(t.c_cflag & HUPCL, 0u);
}

TEST(DcbTermios, RefusesImpossibleSettings) {
  const struct {
    const char* name;
    void (*change)(DCB&);
  } cases[] = {
      {"rate 0", [](DCB& d) { d.BaudRate = 0; }},
      {"4 bits", [](DCB& d) { d.ByteSize = 4; }},
      {"9 bits", [](DCB& d) { d.ByteSize = 9; }},
      {"parity 5", [](DCB& d) { d.Parity = 5; }},
      {"stop bits 3", [](DCB& d) { d.StopBits = 3; }},
      // What the comm API's documentation calls invalid.
      {"5 bits, 2 stop", [](DCB& d) { d.ByteSize = 5, d.StopBits = TWOSTOPBITS; }},
      {"8 bits, 1.5 stop", [](DCB& d) { d.StopBits = ONE5STOPBITS; }},
      {"6 bits, 1.5 stop", [](DCB& d) { d.ByteSize = 6, d.StopBits = ONE5STOPBITS; }},
      {"XON is XOFF", [](DCB& d) { d.XoffChar = d.XonChar; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DCB d = Plain();
    c.change(d);
    std::string reason;
    EXPECT_FALSE(DcbToTermios(d, CookedTerminal(), &reason).has_value());
    EXPECT_FALSE(reason.empty());
  }
}

TEST(DcbTermios, ReadBackKeepsWhatTermiosCannotHold) {
  DCB d = Plain();
  d.fDtrControl = DTR_CONTROL_HANDSHAKE;
  d.fOutxDsrFlow = 1;
  d.fDsrSensitivity = 1;
  d.fTXContinueOnXoff = 1;
  d.fErrorChar = 1;
  d.fNull = 1;
  d.fAbortOnError = 1;
  d.XonLim = 123;
  d.XoffLim = 456;
  d.ErrorChar = '?';
  d.EofChar = 0x1A;
  d.EvtChar = 0x7E;
  ExpectRoundTrip(d);
}

}  // namespace
}  // namespace platform
