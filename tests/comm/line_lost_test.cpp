// A device that vanishes while open (a USB adapter pulled out).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/comm/comm_fixture.h"

namespace comm_test {
namespace {

using ::testing::ElementsAre;
using namespace comm;
using namespace platform;

class CommLineLostTest : public CommTest {
 protected:
  CommLineLostTest() : comm(MakeOpen()) {
    comm.SetRThreshold(1);
    comm.OnLineLost = [this](TObject* sender) {
      EXPECT_EQ(sender, &comm);
      ++lost;
    };
    comm.OnReceiveData = [this](TObject*) { reads.push_back(comm.ReadInputData()); };
    comm.OnReceiveError = [this](TObject*, DWORD) { ++errors; };
  }

  TComm& comm;
  int lost = 0;
  int errors = 0;
  std::vector<std::string> reads;
};

TEST_F(CommLineLostTest, ReportedOnceThenTicksCostNothing) {
  port->Deliver("before");
  loop.RunFor(10);
  port->Vanish();
  port->ClearCalls();

  loop.RunFor(10);
  EXPECT_EQ(lost, 1);
  EXPECT_TRUE(comm.LineLost());
  EXPECT_EQ(comm.LineLostReason(), "Input/output error");
  EXPECT_THAT(CallNames(), ElementsAre("ClearCommError"));
  EXPECT_EQ(errors, 0);

  port->ClearCalls();
  loop.RunFor(1000);
  EXPECT_EQ(lost, 1);
  EXPECT_TRUE(port->Calls().empty());
  // Still held until the owner closes it.
  EXPECT_TRUE(comm.PortOpen());
}

TEST_F(CommLineLostTest, LostLineActsLikeAClosedPort) {
  port->Deliver("kept");
  loop.RunFor(10);
  port->Vanish();
  loop.RunFor(10);
  ASSERT_TRUE(comm.LineLost());
  port->ClearCalls();

  EXPECT_FALSE(comm.OutputChar('x'));
  EXPECT_FALSE(comm.OutputString("xy"));
  EXPECT_FALSE(comm.OutputStringchar("xy"));
  EXPECT_FALSE(comm.OutputByte({1}));
  EXPECT_EQ(comm.ReadInputData(), "kept");
  EXPECT_EQ(comm.ReadInDataCount(), 0u);
  comm.SetInDataCount(0);
  comm.SetBaudRate(4800);
  comm.SetRTSStatus(true);
  comm.SetPortOpen(true);
  EXPECT_TRUE(port->Calls().empty());
}

TEST_F(CommLineLostTest, CloseAndReopenWorkOnceTheDeviceIsBack) {
  port->Vanish();
  loop.RunFor(10);
  ASSERT_EQ(lost, 1);

  comm.SetPortOpen(false);
  EXPECT_FALSE(comm.PortOpen());
  EXPECT_FALSE(comm.LineLost());
  EXPECT_EQ(comm.LineLostReason(), "");
  EXPECT_FALSE(port->IsOpen());

  comm.SetPortOpen(true);
  EXPECT_FALSE(comm.PortOpen());
  EXPECT_EQ(comm.LastOpenError(), "No such file or directory");

  port->Reappear();
  comm.SetPortOpen(true);
  ASSERT_TRUE(comm.PortOpen());
  port->Deliver("again");
  loop.RunFor(10);
  EXPECT_THAT(reads, ElementsAre("again"));
  EXPECT_TRUE(comm.OutputChar('\x02'));

  // A second loss is reported again.
  port->Vanish();
  loop.RunFor(10);
  EXPECT_EQ(lost, 2);
}

TEST_F(CommLineLostTest, HandlerMayCloseThePort) {
  comm.OnLineLost = [this](TObject*) {
    ++lost;
    comm.SetPortOpen(false);
  };
  port->Vanish();
  loop.RunFor(50);
  EXPECT_EQ(lost, 1);
  EXPECT_FALSE(comm.PortOpen());
  EXPECT_FALSE(loop.TimerRunning(comm.Timer()));
}

TEST_F(CommLineLostTest, UnassignedHandlerStillStopsThePolling) {
  comm.OnLineLost = nullptr;
  port->Vanish();
  loop.RunFor(10);
  port->ClearCalls();
  loop.RunFor(100);
  EXPECT_TRUE(comm.LineLost());
  EXPECT_TRUE(port->Calls().empty());
}

}  // namespace
}  // namespace comm_test
