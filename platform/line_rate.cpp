#include "platform/line_rate.h"

#include "platform/line_rate_kernel.h"

namespace platform {

bool ApplyWithRate(int fd, const termios& tio, unsigned rate) {
  detail::PlainTermios p;
  p.iflag = tio.c_iflag;
  p.oflag = tio.c_oflag;
  p.cflag = tio.c_cflag;
  p.lflag = tio.c_lflag;
  p.line = tio.c_line;
  p.cc = tio.c_cc;
  p.ccCount = sizeof tio.c_cc;
  return detail::ApplyPlainWithRate(fd, p, rate);
}

bool ReadLineRate(int fd, unsigned& rate) {
  return detail::ReadPlainRate(fd, rate);
}

}  // namespace platform
