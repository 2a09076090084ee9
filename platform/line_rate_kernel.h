// The kernel side of line_rate.h. Includes no termios header, so that the
// kernel's termios2 (line_rate_kernel.cpp) and the C library's termios
// (line_rate.cpp) never meet in one file; settings cross as plain numbers.
#pragma once

#include <cstddef>

namespace platform::detail {

struct PlainTermios {
  unsigned iflag = 0, oflag = 0, cflag = 0, lflag = 0;
  unsigned char line = 0;
  const unsigned char* cc = nullptr;
  std::size_t ccCount = 0;
};

bool ApplyPlainWithRate(int fd, const PlainTermios& p, unsigned rate);
bool ReadPlainRate(int fd, unsigned& rate);

}  // namespace platform::detail
