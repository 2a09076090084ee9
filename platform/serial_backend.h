// One open serial device behind a comm-API handle. The comm calls of
// comm_api.h look up the handle and forward to the device; the device sets
// the last error (SetLastError) whenever it returns false.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/comm_api.h"

namespace platform {

class SerialBackend {
 public:
  virtual ~SerialBackend() = default;
  virtual bool Setup(DWORD inQueue, DWORD outQueue) = 0;
  virtual bool Purge(DWORD flags) = 0;
  virtual bool GetState(DCB& dcb) = 0;
  virtual bool SetState(const DCB& dcb) = 0;
  virtual bool Escape(DWORD function) = 0;
  virtual bool ClearError(DWORD& errors, COMSTAT& stat) = 0;
  virtual bool GetModemStatus(DWORD& status) = 0;
  virtual bool Read(void* buffer, DWORD count, DWORD& got) = 0;
  virtual bool Write(const void* buffer, DWORD count, DWORD& written) = 0;
  // Releases the device; called once, by CloseHandle.
  virtual void Close() = 0;
};

// Opens a device by its name; returns null after SetLastError on failure.
using DeviceOpener = std::function<std::unique_ptr<SerialBackend>()>;

// A test (or the Windows-less simulator) puts a device under a name such as
// "COM3"; CreateFileA then opens it instead of a real port. Names compare
// without case and without a leading "\\.\".
void RegisterDevice(const std::string& name, DeviceOpener opener);
void UnregisterDevice(const std::string& name);

// "\\.\com3" -> "COM3"; any other name is returned upper-cased as it stands.
std::string NormalizeDeviceName(const std::string& name);

// The real-port opener of this platform, given the name that CreateFileA was
// given: termios on POSIX (the name resolved to a device, opened
// exclusively), the system's own CreateFileA on Windows.
std::unique_ptr<SerialBackend> OpenSystemDevice(const std::string& name);

}  // namespace platform
