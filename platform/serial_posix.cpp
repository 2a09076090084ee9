#include <cctype>

#include "platform/paths.h"
#include "platform/posix_serial_port.h"
#include "platform/serial_backend.h"

namespace platform {
namespace {

// "com3", "COM3": the port names that map onto a device.
bool IsComName(const std::string& name) {
  if (name.size() < 4) return false;
  if (std::toupper(static_cast<unsigned char>(name[0])) != 'C' ||
      std::toupper(static_cast<unsigned char>(name[1])) != 'O' ||
      std::toupper(static_cast<unsigned char>(name[2])) != 'M') {
    return false;
  }
  for (std::size_t i = 3; i < name.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<SerialBackend> OpenSystemDevice(const std::string& given) {
  // "\\.\COM3" is the Windows device namespace: here it names COM3.
  const std::string name = given.rfind("\\\\.\\", 0) == 0 ? given.substr(4) : given;
  const std::string device = IsComName(name) ? NormalizeDeviceName(name) : name;
  return OpenPosixSerialPort(ResolveComDevice(device));
}

}  // namespace platform
