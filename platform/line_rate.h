// Line rates without a B-constant, through the kernel's termios2 calls.
#pragma once

#include <termios.h>

namespace platform {

// Applies the termios at once with input and output at `rate` bits per second.
// False with errno set; EINVAL where the system has no such call.
bool ApplyWithRate(int fd, const termios& tio, unsigned rate);

// The line's real output rate; false with errno set.
bool ReadLineRate(int fd, unsigned& rate);

}  // namespace platform
