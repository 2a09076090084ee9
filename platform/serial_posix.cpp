#include "platform/serial_backend.h"

namespace platform {

// Placeholder until the termios backend lands.
std::unique_ptr<SerialBackend> OpenSystemDevice(const std::string& name) {
  SetLastError(ERROR_FILE_NOT_FOUND, "No such device: " + name);
  return nullptr;
}

}  // namespace platform
