// A serial port that exists only in memory. A test registers it under a
// device name ("COM3"); CreateFileA of that name then opens it. The test sets
// its modem lines and error flags, queues bytes for the near side to read
// (each due at a time on the platform clock, so replies arrive in virtual
// time), reads what the near side wrote, and sees every call that was made.
// A far side (a scripted or simulated device) can be attached to it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/comm_api.h"
#include "platform/serial_backend.h"

namespace platform {

class SimulatedPort;

// The device at the far end of the line.
class FarSide {
 public:
  virtual ~FarSide() = default;
  // The near side wrote these bytes at the given tick; the device answers
  // with port.Deliver(...).
  virtual void Received(SimulatedPort& port, const std::vector<BYTE>& bytes,
                        std::uint64_t nowMs) = 0;
  // The near side opened the port at the given tick.
  virtual void Opened(SimulatedPort& port, std::uint64_t nowMs) {
    (void)port;
    (void)nowMs;
  }
};

class SimulatedPort : public std::enable_shared_from_this<SimulatedPort> {
 public:
  struct Call {
    std::string name;
    std::vector<DWORD> args;  // the call's numeric arguments, in order
    std::vector<BYTE> bytes;  // bytes written (WriteFile) or read (ReadFile)
    bool result = false;
  };

  static std::shared_ptr<SimulatedPort> Create();

  // CreateFileA(name) opens this port from now on; the port is exclusive.
  void RegisterAs(const std::string& name);
  void Unregister();

  // --- the line, as a test drives it ---
  // Bytes that become readable once the platform tick reaches dueMs. They
  // queue behind every byte due by then and ahead of any due later.
  void Deliver(const std::vector<BYTE>& bytes, std::uint64_t dueMs = 0);
  void Deliver(const std::string& bytes, std::uint64_t dueMs = 0);
  std::size_t ReadableCount() const;  // bytes due by now
  std::size_t PendingCount() const;   // all bytes queued, due or not
  const std::vector<BYTE>& Written() const { return written_; }
  void ClearWritten() { written_.clear(); }
  void SetModemStatus(DWORD bits) { modem_ = bits; }
  // Error flags are added up until the next ClearCommError returns them.
  void RaiseErrors(DWORD flags) { errors_ |= flags; }
  void Attach(FarSide* device) { far_ = device; }

  // --- failures a test can force ---
  void SetOpenFailure(DWORD error) { openFailure_ = error; }
  void SetSetupFails(bool fails) { setupFails_ = fails; }
  void SetWriteFails(bool fails) { writeFails_ = fails; }
  void SetReadFails(bool fails) { readFails_ = fails; }
  void SetModemStatusFails(bool fails) { modemFails_ = fails; }
  // The device went away: every call on an open handle fails from now on.
  void Vanish() { vanished_ = true; }
  void Reappear() { vanished_ = false; }

  // --- what was done to it ---
  const std::vector<Call>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  std::size_t CountCalls(const std::string& name) const;
  const std::vector<DCB>& StatesWritten() const { return statesWritten_; }
  const DCB& State() const { return dcb_; }
  void SetState(const DCB& dcb) { dcb_ = dcb; }  // what the driver reports before any write
  bool Dtr() const { return dtr_; }
  bool Rts() const { return rts_; }
  bool IsOpen() const { return open_; }
  DWORD InQueueSize() const { return inQueueSize_; }
  DWORD OutQueueSize() const { return outQueueSize_; }

 private:
  class Handle;
  friend class Handle;
  SimulatedPort() = default;
  std::unique_ptr<SerialBackend> Open();
  void Log(std::string name, std::vector<DWORD> args, bool result, std::vector<BYTE> bytes = {});
  bool Gone(const char* call, std::vector<DWORD> args);

  struct Pending {
    BYTE byte;
    std::uint64_t due;
  };
  std::deque<Pending> input_;
  std::vector<BYTE> written_;
  std::vector<Call> calls_;
  std::vector<DCB> statesWritten_;
  DCB dcb_{};
  std::string name_;
  FarSide* far_ = nullptr;
  DWORD modem_ = 0;
  DWORD errors_ = 0;
  DWORD openFailure_ = 0;
  DWORD inQueueSize_ = 0;
  DWORD outQueueSize_ = 0;
  bool setupFails_ = false;
  bool writeFails_ = false;
  bool readFails_ = false;
  bool modemFails_ = false;
  bool vanished_ = false;
  bool open_ = false;
  bool dtr_ = false;
  bool rts_ = false;
};

}  // namespace platform
