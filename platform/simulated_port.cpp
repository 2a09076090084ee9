#include "platform/simulated_port.h"

#include <algorithm>
#include <cstring>

#include "platform/clock.h"

namespace platform {

// The per-open view of the port: what CreateFileA hands out.
class SimulatedPort::Handle : public SerialBackend {
 public:
  explicit Handle(std::shared_ptr<SimulatedPort> port) : port_(std::move(port)) {}

  bool Setup(DWORD in, DWORD out) override {
    if (port_->Gone("SetupComm", {in, out})) return false;
    const bool ok = !port_->setupFails_;
    if (ok) {
      port_->inQueueSize_ = in;
      port_->outQueueSize_ = out;
    } else {
      SetLastError(ERROR_INVALID_PARAMETER, "The queue sizes were refused.");
    }
    port_->Log("SetupComm", {in, out}, ok);
    return ok;
  }

  bool Purge(DWORD flags) override {
    if (port_->Gone("PurgeComm", {flags})) return false;
    if (flags & PURGE_RXCLEAR) port_->input_.clear();
    port_->Log("PurgeComm", {flags}, true);
    return true;
  }

  bool GetState(DCB& dcb) override {
    if (port_->Gone("GetCommState", {})) return false;
    dcb = port_->dcb_;
    port_->Log("GetCommState", {}, true);
    return true;
  }

  bool SetState(const DCB& dcb) override {
    if (port_->Gone("SetCommState", {})) return false;
    port_->dcb_ = dcb;
    port_->statesWritten_.push_back(dcb);
    port_->Log("SetCommState", {dcb.BaudRate}, true);
    return true;
  }

  bool Escape(DWORD function) override {
    if (port_->Gone("EscapeCommFunction", {function})) return false;
    bool ok = true;
    switch (function) {
      case SETDTR:
        port_->dtr_ = true;
        break;
      case CLRDTR:
        port_->dtr_ = false;
        break;
      case SETRTS:
        port_->rts_ = true;
        break;
      case CLRRTS:
        port_->rts_ = false;
        break;
      case SETXON:
      case SETXOFF:
      case SETBREAK:
      case CLRBREAK:
        break;
      default:
        ok = false;
        SetLastError(ERROR_INVALID_PARAMETER, "Unknown escape function.");
    }
    port_->Log("EscapeCommFunction", {function}, ok);
    return ok;
  }

  bool ClearError(DWORD& errors, COMSTAT& stat) override {
    if (port_->Gone("ClearCommError", {})) return false;
    errors = port_->errors_;
    port_->errors_ = 0;
    stat = COMSTAT{};
    stat.cbInQue = static_cast<DWORD>(port_->ReadableCount());
    port_->Log("ClearCommError", {errors, stat.cbInQue}, true);
    return true;
  }

  bool GetModemStatus(DWORD& status) override {
    if (port_->Gone("GetCommModemStatus", {})) return false;
    if (port_->modemFails_) {
      SetLastError(ERROR_BAD_COMMAND, "The device has no modem lines.");
      port_->Log("GetCommModemStatus", {}, false);
      return false;
    }
    status = port_->modem_;
    port_->Log("GetCommModemStatus", {status}, true);
    return true;
  }

  bool Read(void* buffer, DWORD count, DWORD& got) override {
    got = 0;
    if (port_->Gone("ReadFile", {count})) return false;
    if (port_->readFails_) {
      SetLastError(ERROR_GEN_FAILURE, "The read failed.");
      port_->Log("ReadFile", {count}, false);
      return false;
    }
    const std::size_t n = std::min<std::size_t>(count, port_->ReadableCount());
    std::vector<BYTE> bytes;
    bytes.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
      bytes.push_back(port_->input_.front().byte);
      port_->input_.pop_front();
    }
    if (n > 0) std::memcpy(buffer, bytes.data(), n);
    got = static_cast<DWORD>(n);
    port_->Log("ReadFile", {count}, true, bytes);
    return true;
  }

  bool Write(const void* buffer, DWORD count, DWORD& written) override {
    written = 0;
    const auto* p = static_cast<const BYTE*>(buffer);
    std::vector<BYTE> bytes(p, p + count);
    if (port_->Gone("WriteFile", {count})) return false;
    if (port_->writeFails_) {
      SetLastError(ERROR_GEN_FAILURE, "The write failed.");
      port_->Log("WriteFile", {count}, false, bytes);
      return false;
    }
    written = count;
    port_->written_.insert(port_->written_.end(), bytes.begin(), bytes.end());
    port_->Log("WriteFile", {count}, true, bytes);
    if (port_->far_ != nullptr && !bytes.empty()) {
      port_->far_->Received(*port_, bytes, TickCountMs());
    }
    return true;
  }

  void Close() override {
    port_->open_ = false;
    port_->Log("CloseHandle", {}, true);
  }

 private:
  std::shared_ptr<SimulatedPort> port_;
};

std::shared_ptr<SimulatedPort> SimulatedPort::Create() {
  return std::shared_ptr<SimulatedPort>(new SimulatedPort());
}

void SimulatedPort::RegisterAs(const std::string& name) {
  name_ = name;
  std::weak_ptr<SimulatedPort> weak = shared_from_this();
  RegisterDevice(name, [weak]() -> std::unique_ptr<SerialBackend> {
    auto port = weak.lock();
    if (!port) {
      SetLastError(ERROR_FILE_NOT_FOUND, "No such device.");
      return nullptr;
    }
    return port->Open();
  });
}

void SimulatedPort::Unregister() {
  if (!name_.empty()) UnregisterDevice(name_);
  name_.clear();
}

std::unique_ptr<SerialBackend> SimulatedPort::Open() {
  if (openFailure_ != 0 || vanished_) {
    const DWORD error = vanished_ ? ERROR_FILE_NOT_FOUND : openFailure_;
    SetLastError(error, error == ERROR_ACCESS_DENIED       ? "Permission denied"
                        : error == ERROR_SHARING_VIOLATION ? "Device or resource busy"
                                                           : "No such file or directory");
    Log("CreateFileA", {error}, false);
    return nullptr;
  }
  if (open_) {
    // Windows answers a second open of a port with "access denied".
    SetLastError(ERROR_ACCESS_DENIED, "Device or resource busy");
    Log("CreateFileA", {ERROR_ACCESS_DENIED}, false);
    return nullptr;
  }
  open_ = true;
  Log("CreateFileA", {}, true);
  if (far_ != nullptr) far_->Opened(*this, TickCountMs());
  return std::make_unique<Handle>(shared_from_this());
}

void SimulatedPort::Deliver(const std::vector<BYTE>& bytes, std::uint64_t dueMs) {
  // The line carries bytes in the order they are sent: bytes due earlier than
  // some already queued go before those, after everything due by then.
  auto at = std::upper_bound(input_.begin(), input_.end(), dueMs,
                             [](std::uint64_t due, const Pending& p) { return due < p.due; });
  for (BYTE b : bytes) at = std::next(input_.insert(at, {b, dueMs}));
}

void SimulatedPort::Deliver(const std::string& bytes, std::uint64_t dueMs) {
  Deliver(std::vector<BYTE>(bytes.begin(), bytes.end()), dueMs);
}

std::size_t SimulatedPort::ReadableCount() const {
  // Bytes arrive in order: a byte is readable only when it and all before it are due.
  const std::uint64_t now = TickCountMs();
  std::size_t n = 0;
  for (const Pending& p : input_) {
    if (p.due > now) break;
    ++n;
  }
  return n;
}

std::size_t SimulatedPort::PendingCount() const {
  return input_.size();
}

std::size_t SimulatedPort::CountCalls(const std::string& name) const {
  return static_cast<std::size_t>(
      std::count_if(calls_.begin(), calls_.end(), [&](const Call& c) { return c.name == name; }));
}

void SimulatedPort::Log(std::string name, std::vector<DWORD> args, bool result,
                        std::vector<BYTE> bytes) {
  calls_.push_back({std::move(name), std::move(args), std::move(bytes), result});
}

bool SimulatedPort::Gone(const char* call, std::vector<DWORD> args) {
  if (!vanished_) return false;
  SetLastError(ERROR_DEVICE_REMOVED, "Input/output error");
  Log(call, std::move(args), false);
  return true;
}

}  // namespace platform
