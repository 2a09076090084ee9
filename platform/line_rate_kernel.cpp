#include "platform/line_rate_kernel.h"

#include <cerrno>
#include <cstring>

#if defined(__linux__)
#include <asm/termbits.h>
#include <sys/ioctl.h>
#endif

namespace platform::detail {

bool ApplyPlainWithRate(int fd, const PlainTermios& p, unsigned rate) {
#if defined(__linux__)
  termios2 t2{};
  t2.c_iflag = p.iflag;
  t2.c_oflag = p.oflag;
  t2.c_cflag =
      (p.cflag & ~static_cast<unsigned>(CBAUD | (CBAUD << IBSHIFT))) | BOTHER | (BOTHER << IBSHIFT);
  t2.c_lflag = p.lflag;
  t2.c_line = p.line;
  std::memcpy(t2.c_cc, p.cc, p.ccCount < sizeof t2.c_cc ? p.ccCount : sizeof t2.c_cc);
  t2.c_ispeed = rate;
  t2.c_ospeed = rate;
  return ::ioctl(fd, TCSETS2, &t2) == 0;
#else
  (void)fd, (void)p, (void)rate;
  errno = EINVAL;
  return false;
#endif
}

bool ReadPlainRate(int fd, unsigned& rate) {
#if defined(__linux__)
  termios2 t2{};
  if (::ioctl(fd, TCGETS2, &t2) != 0) return false;
  rate = t2.c_ospeed;
  return true;
#else
  (void)fd, (void)rate;
  errno = EINVAL;
  return false;
#endif
}

}  // namespace platform::detail
