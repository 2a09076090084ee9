// Windows: real ports are the system's own. Our comm calls translate their
// structures to the system's and report its error codes and texts.
#include <cctype>
#include <memory>
#include <set>
#include <string>

#include "platform/comm_api.h"
#include "platform/dcb_rules.h"
#include "platform/serial_backend.h"

// The system header comes last: its macros (TRUE, PURGE_RXCLEAR, DCB fields'
// constants ...) would otherwise rewrite our own declarations of the same
// names. The constants it defines carry the same values as ours.
#include <windows.h>

namespace platform {
namespace {

// The system's text for an error code, without its line break.
std::string SystemText(::DWORD code) {
  char* text = nullptr;
  const ::DWORD n = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string out = n > 0 && text != nullptr ? std::string(text, n) : std::string();
  if (text != nullptr) ::LocalFree(text);
  while (!out.empty() && std::isspace(static_cast<unsigned char>(out.back()))) out.pop_back();
  if (out.empty()) out = "error " + std::to_string(code);
  return out;
}

// Keeps the system's last error as ours, with the device's name in front.
bool Fail(const std::string& device) {
  const ::DWORD code = ::GetLastError();
  SetLastError(static_cast<DWORD>(code), device + ": " + SystemText(code));
  return false;
}

::DCB ToSystem(const DCB& d) {
  ::DCB s{};
  s.DCBlength = sizeof(::DCB);
  s.BaudRate = d.BaudRate;
  s.fBinary = d.fBinary & 1u;
  s.fParity = d.fParity & 1u;
  s.fOutxCtsFlow = d.fOutxCtsFlow & 1u;
  s.fOutxDsrFlow = d.fOutxDsrFlow & 1u;
  s.fDtrControl = d.fDtrControl & 3u;
  s.fDsrSensitivity = d.fDsrSensitivity & 1u;
  s.fTXContinueOnXoff = d.fTXContinueOnXoff & 1u;
  s.fOutX = d.fOutX & 1u;
  s.fInX = d.fInX & 1u;
  s.fErrorChar = d.fErrorChar & 1u;
  s.fNull = d.fNull & 1u;
  s.fRtsControl = d.fRtsControl & 3u;
  s.fAbortOnError = d.fAbortOnError & 1u;
  s.XonLim = d.XonLim;
  s.XoffLim = d.XoffLim;
  s.ByteSize = d.ByteSize;
  s.Parity = d.Parity;
  s.StopBits = d.StopBits;
  s.XonChar = d.XonChar;
  s.XoffChar = d.XoffChar;
  s.ErrorChar = d.ErrorChar;
  s.EofChar = d.EofChar;
  s.EvtChar = d.EvtChar;
  return s;
}

DCB FromSystem(const ::DCB& s) {
  DCB d;
  d.DCBlength = sizeof(DCB);
  d.BaudRate = static_cast<DWORD>(s.BaudRate);
  d.fBinary = s.fBinary;
  d.fParity = s.fParity;
  d.fOutxCtsFlow = s.fOutxCtsFlow;
  d.fOutxDsrFlow = s.fOutxDsrFlow;
  d.fDtrControl = s.fDtrControl;
  d.fDsrSensitivity = s.fDsrSensitivity;
  d.fTXContinueOnXoff = s.fTXContinueOnXoff;
  d.fOutX = s.fOutX;
  d.fInX = s.fInX;
  d.fErrorChar = s.fErrorChar;
  d.fNull = s.fNull;
  d.fRtsControl = s.fRtsControl;
  d.fAbortOnError = s.fAbortOnError;
  d.XonLim = s.XonLim;
  d.XoffLim = s.XoffLim;
  d.ByteSize = s.ByteSize;
  d.Parity = s.Parity;
  d.StopBits = s.StopBits;
  d.XonChar = s.XonChar;
  d.XoffChar = s.XoffChar;
  d.ErrorChar = s.ErrorChar;
  d.EofChar = s.EofChar;
  d.EvtChar = s.EvtChar;
  return d;
}

// The ports this program holds, by normalised name. Windows refuses a second
// open of a port with ERROR_ACCESS_DENIED; Wine lets it through, so the
// refusal is made here as well, for this program's own handles.
std::set<std::string>& HeldPorts() {
  static std::set<std::string> held;
  return held;
}

class Win32SerialPort final : public SerialBackend {
 public:
  Win32SerialPort(::HANDLE handle, std::string name)
      : handle_(handle), name_(std::move(name)), key_(NormalizeDeviceName(name_)) {
    HeldPorts().insert(key_);
  }
  ~Win32SerialPort() override { Close(); }
  Win32SerialPort(const Win32SerialPort&) = delete;
  Win32SerialPort& operator=(const Win32SerialPort&) = delete;

  bool Setup(DWORD inQueue, DWORD outQueue) override {
    if (!Alive()) return false;
    return ::SetupComm(handle_, inQueue, outQueue) != 0 || Fail(name_);
  }

  bool Purge(DWORD flags) override {
    if (!Alive()) return false;
    return ::PurgeComm(handle_, flags) != 0 || Fail(name_);
  }

  bool GetState(DCB& dcb) override {
    if (!Alive()) return false;
    ::DCB s{};
    s.DCBlength = sizeof(::DCB);
    if (::GetCommState(handle_, &s) == 0) return Fail(name_);
    dcb = FromSystem(s);
    return true;
  }

  bool SetState(const DCB& dcb) override {
    if (!Alive()) return false;
    const std::string broken = BrokenDcbRule(dcb);
    if (!broken.empty()) {
      SetLastError(ERROR_INVALID_PARAMETER, name_ + ": " + broken);
      return false;
    }
    ::DCB s = ToSystem(dcb);
    return ::SetCommState(handle_, &s) != 0 || Fail(name_);
  }

  bool Escape(DWORD function) override {
    if (!Alive()) return false;
    return ::EscapeCommFunction(handle_, function) != 0 || Fail(name_);
  }

  bool ClearError(DWORD& errors, COMSTAT& stat) override {
    errors = 0;
    stat = COMSTAT{};
    if (!Alive()) return false;
    ::DWORD e = 0;
    ::COMSTAT s{};
    if (::ClearCommError(handle_, &e, &s) == 0) return Fail(name_);
    errors = static_cast<DWORD>(e);
    stat.fCtsHold = s.fCtsHold;
    stat.fDsrHold = s.fDsrHold;
    stat.fRlsdHold = s.fRlsdHold;
    stat.fXoffHold = s.fXoffHold;
    stat.fXoffSent = s.fXoffSent;
    stat.fEof = s.fEof;
    stat.fTxim = s.fTxim;
    stat.cbInQue = static_cast<DWORD>(s.cbInQue);
    stat.cbOutQue = static_cast<DWORD>(s.cbOutQue);
    return true;
  }

  bool GetModemStatus(DWORD& status) override {
    status = 0;
    if (!Alive()) return false;
    ::DWORD s = 0;
    if (::GetCommModemStatus(handle_, &s) == 0) return Fail(name_);
    status = static_cast<DWORD>(s);
    return true;
  }

  bool Read(void* buffer, DWORD count, DWORD& got) override {
    got = 0;
    if (!Alive()) return false;
    ::DWORD n = 0;
    const bool ok = ::ReadFile(handle_, buffer, count, &n, nullptr) != 0;
    got = static_cast<DWORD>(n);
    return ok || Fail(name_);
  }

  bool Write(const void* buffer, DWORD count, DWORD& written) override {
    written = 0;
    if (!Alive()) return false;
    ::DWORD n = 0;
    const bool ok = ::WriteFile(handle_, buffer, count, &n, nullptr) != 0;
    written = static_cast<DWORD>(n);
    return ok || Fail(name_);
  }

  void Close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    HeldPorts().erase(key_);
  }

 private:
  // After Close the system handle is gone; the value must not reach the
  // system, where it might name another object by then.
  bool Alive() {
    if (handle_ != INVALID_HANDLE_VALUE) return true;
    SetLastError(ERROR_INVALID_HANDLE, name_ + ": the port is closed");
    return false;
  }

  ::HANDLE handle_;
  std::string name_;
  std::string key_;
};

// "COM3", "com12": the names that need the device namespace, which the
// system requires from COM10 on and accepts for every number.
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

std::unique_ptr<SerialBackend> OpenSystemDevice(const std::string& name) {
  if (HeldPorts().count(NormalizeDeviceName(name)) != 0) {
    SetLastError(ERROR_ACCESS_DENIED, name + ": " + SystemText(ERROR_ACCESS_DENIED));
    return nullptr;
  }
  const std::string path = IsComName(name) ? "\\\\.\\" + name : name;
  ::HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             0, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    Fail(name);
    return nullptr;
  }
  return std::make_unique<Win32SerialPort>(h, name);
}

}  // namespace platform
