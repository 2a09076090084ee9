// The simulated dispenser. It takes the bytes the console writes, in pieces
// of any size (the console writes one byte at a time), and gives back the
// bytes to send in return, each with the moment it is due. Time is whatever
// the caller says it is, so the model runs the same on a virtual clock in
// tests and on the wall clock in the simulator program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/frame.h"
#include "sim/answer.h"
#include "sim/device_settings.h"
#include "sim/frame_assembler.h"
#include "sim/transmitter.h"

namespace sim {

class DeviceModel {
 public:
  explicit DeviceModel(const Settings& settings = {});

  // The console wrote these bytes; the last of them arrived at nowMs.
  std::vector<Answer> Receive(const std::uint8_t* bytes, std::size_t count, std::uint64_t nowMs);
  std::vector<Answer> Receive(const std::vector<std::uint8_t>& bytes, std::uint64_t nowMs) {
    return Receive(bytes.data(), bytes.size(), nowMs);
  }

  // The console opened the port anew: a half-received frame is forgotten,
  // nothing scheduled is owed any more, and the next Status is followed by
  // the version reply again, as after power-up.
  void StartSession();

  // Still feeding bills (or running the motor) at this moment.
  bool Busy(std::uint64_t nowMs) const { return nowMs < busyUntilMs_; }

  DeviceState& state() { return state_; }
  const DeviceState& state() const { return state_; }
  Timing& timing() { return timing_; }
  const Faults& faults() const { return transmitter_.faults(); }
  // New faults; the generator and the one-shot jam and double start afresh.
  void SetFaults(const Faults& faults);

  void SetTrace(Trace trace) { trace_ = std::move(trace); }

 private:
  struct Plan;
  void Handle(const protocol::CommandFrame& frame, std::uint64_t nowMs, std::vector<Answer>& out);
  void Execute(const protocol::CommandFrame& frame, std::uint64_t nowMs, Plan& plan);
  void Dispense(int count, std::uint64_t nowMs, Plan& plan);
  void PowerfulOut(std::uint64_t nowMs);
  void Status(std::uint64_t nowMs, Plan& plan);
  void SelfTest(char step, std::uint64_t nowMs, Plan& plan);
  void Count(std::size_t recordIndex);

  DeviceState state_;
  Timing timing_;
  Transmitter transmitter_;
  FrameAssembler assembler_;
  Trace trace_;
  std::uint64_t busyUntilMs_ = 0;
  int jamLeft_ = -1;
  int doubleLeft_ = -1;
  bool stuckBill_ = false;   // a jammed bill sits in the feed path
  bool versionOwed_ = true;  // the 'v' reply follows the next Status
};

}  // namespace sim
