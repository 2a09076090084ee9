// A real serial device (or pseudo-terminal) behind a comm-API handle, driven
// through termios and the tty ioctls.
#pragma once

#include <memory>
#include <string>

#include "platform/serial_backend.h"

namespace platform {

struct PosixPortOptions {
  // WriteFile gives up when the line takes no byte for this long (flow
  // control held off, a stuck driver), rather than blocking the program.
  int writeStallMs = 2000;
};

// Opens the device at `path` for reading and writing, exclusively (a second
// open, by this or another program, fails with ERROR_ACCESS_DENIED, as on
// Windows), in raw mode with flow control off. Returns null after SetLastError, with the
// path and the system's reason in the error text.
std::unique_ptr<SerialBackend> OpenPosixSerialPort(const std::string& path,
                                                   PosixPortOptions options = {});

}  // namespace platform
