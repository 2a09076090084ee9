// The device model at the far end of a simulated port: whatever the console
// writes goes to the model, and each answer is queued on the port for its
// due time, so console tests in virtual time talk to the real device.
#pragma once

#include <vector>

#include "platform/simulated_port.h"
#include "sim/device_model.h"

namespace sim {

class PortDevice : public platform::FarSide {
 public:
  explicit PortDevice(const Settings& settings = {}) : model_(settings) {}

  void Received(platform::SimulatedPort& port, const std::vector<platform::BYTE>& bytes,
                std::uint64_t nowMs) override;
  // A new opener starts a new session, as on the pseudo-terminal.
  void Opened(platform::SimulatedPort& port, std::uint64_t nowMs) override;

  DeviceModel& model() { return model_; }
  const DeviceModel& model() const { return model_; }

 private:
  DeviceModel model_;
};

}  // namespace sim
