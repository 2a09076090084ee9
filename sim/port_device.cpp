#include "sim/port_device.h"

namespace sim {

void PortDevice::Received(platform::SimulatedPort& port, const std::vector<platform::BYTE>& bytes,
                          std::uint64_t nowMs) {
  for (const Answer& a : model_.Receive(bytes.data(), bytes.size(), nowMs)) {
    port.Deliver(a.bytes, a.dueMs);
  }
}

void PortDevice::Opened(platform::SimulatedPort&, std::uint64_t) {
  model_.StartSession();
}

}  // namespace sim
