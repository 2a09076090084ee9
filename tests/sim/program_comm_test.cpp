// The console's serial component on the POSIX backend against the real
// rm460-sim: COM1 resolves through the link the program made, a Status frame
// goes out by OutputChar and the answers come in by ReadInputData. The
// component's poll step is driven by hand with short real pauses (bytes
// cross a pseudo-terminal in real time), never by waiting for its timer.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "comm/comm.h"
#include "protocol/frame.h"
#include "tests/sim/sim_program_fixture.h"
#include "tests/sim/sim_test_support.h"
#include "toolkit/component.h"
#include "toolkit/virtual_event_loop.h"

namespace {

using sim_test::Clock;
using sim_test::ReadLink;

class SimProgramComm : public sim_test::SimProgram {
 protected:
  // The component resolves COM1 under the program's prefix.
  void SetUp() override {
    previousPrefix_ = std::getenv("RM460_PREFIX");
    ::setenv("RM460_PREFIX", prefix_.path().c_str(), 1);
  }
  void TearDown() override {
    SimProgram::TearDown();
    ::setenv("RM460_PREFIX", previousPrefix_.c_str(), 1);
  }

  // Polls until `enough` bytes came in or the time is up.
  std::string Receive(comm::TComm& port, std::size_t enough) {
    const auto end = Clock::now() + std::chrono::seconds(5);
    while (received_.size() < enough && Clock::now() < end) {
      port.ProcTimer(&port);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return received_;
  }

  // The component runs on a loop that is never run: it only has to exist.
  toolkit::VirtualEventLoop loop_;
  toolkit::TComponent owner_{nullptr};
  std::string received_;
  std::string previousPrefix_;
};

TEST_F(SimProgramComm, TheSerialComponentGetsTheStatusAnswerOverThePseudoTerminal) {
  const std::string folder = prefix_.path() + "/dosdevices";
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  const std::string link = folder + "/com1";
  ASSERT_EQ(::symlink("/dev/earlier-device", link.c_str()), 0);

  Launch({"--com", "1"});
  ASSERT_TRUE(WaitForLink(link, std::chrono::seconds(5))) << ReadLink(link);

  auto* port = new comm::TComm(&owner_, {0, 3});  // COM1 at 9600
  port->SetPortOpen(true);
  ASSERT_TRUE(port->PortOpen()) << port->LastOpenError();
  EXPECT_EQ(port->DevicePath(), link);
  port->SetRThreshold(1);
  port->OnReceiveData = [&](toolkit::TObject*) { received_ += port->ReadInputData(); };

  for (std::uint8_t b : sim_test::Command("S0000")) {
    ASSERT_TRUE(port->OutputChar(static_cast<char>(b)));
  }
  const std::string got = Receive(*port, 20);
  ASSERT_EQ(got.size(), 20u) << sim_test::Hex({got.begin(), got.end()});
  // The session's first Status, and the version reply that follows it.
  EXPECT_EQ(sim_test::Hex({got.begin(), got.begin() + 10}), sim_test::Reply('s', "r000"));
  EXPECT_EQ(sim_test::Hex({got.begin() + 10, got.end()}), sim_test::Reply("00", 'v', 1, 8, 0, 0));
  EXPECT_EQ(port->ReadCommError(), 0u);
  port->SetPortOpen(false);

  EXPECT_EQ(Stop(), 0);
  EXPECT_EQ(ReadLink(link), "/dev/earlier-device");
  EXPECT_NE(output_.find("Status"), std::string::npos) << output_;
}

}  // namespace
