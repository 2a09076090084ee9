// A TComm on a simulated "COM3" in virtual time. The component is owned by a
// stand-in for the main window, as in the console.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "comm/comm.h"
#include "platform/simulated_port.h"
#include "toolkit/virtual_event_loop.h"

namespace comm_test {

using platform::SimulatedPort;

class CommTest : public ::testing::Test {
 protected:
  CommTest() { port->RegisterAs("COM3"); }
  ~CommTest() override { port->Unregister(); }

  // Port list position 2 is "COM3", baud list position 4 is 19200.
  comm::TComm& Make(comm::TCommSelection selection = {2, 4}) {
    return *new comm::TComm(&owner, selection);
  }
  // An open component; the calls of the open are forgotten.
  comm::TComm& MakeOpen(comm::TCommSelection selection = {2, 4}) {
    comm::TComm& c = Make(selection);
    c.SetPortOpen(true);
    EXPECT_TRUE(c.PortOpen()) << c.LastOpenError();
    port->ClearCalls();
    return c;
  }

  std::vector<std::string> CallNames() const {
    std::vector<std::string> names;
    for (const auto& call : port->Calls()) names.push_back(call.name);
    return names;
  }
  std::vector<SimulatedPort::Call> CallsOf(const std::string& name) const {
    std::vector<SimulatedPort::Call> found;
    for (const auto& call : port->Calls()) {
      if (call.name == name) found.push_back(call);
    }
    return found;
  }
  bool PollRunning(comm::TComm& c) const { return loop.TimerRunning(c.Timer()); }

  // Declared first: the loop outlives every component and timer.
  toolkit::VirtualEventLoop loop;
  std::shared_ptr<SimulatedPort> port = SimulatedPort::Create();
  toolkit::TComponent owner{nullptr};
};

inline std::vector<platform::BYTE> Bytes(std::size_t n, platform::BYTE first = 0) {
  std::vector<platform::BYTE> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<platform::BYTE>(first + i);
  return bytes;
}

}  // namespace comm_test
