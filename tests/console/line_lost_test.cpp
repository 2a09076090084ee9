// The device goes away while the protocol runs (a USB adapter pulled out):
// the operator is told once, the console goes on at no cost, and End and
// Start Protocol bring it back once the device is there again.
#include "comm/comm.h"
#include "tests/console/console_fixture.h"

namespace console_test {
namespace {

const std::string kLost = "COM1 stopped working: Input/output error";
const std::string kStatusTx = "Tx : 02 30 30 53 30 30 30 30 75 03 ";

class LineLostTest : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    device.SetScript(
        [](platform::SimulatedPort& p, const protocol::CommandFrame& f, std::uint64_t t) {
          if (f[3] == 'S') p.Deliver(Bytes(Reply('s', 'r', '0', '0', '0')), t + 20);
        });
  }

  // Started, answered, then the device vanishes and the next tick notices.
  void StartAndLose() {
    Start();
    ASSERT_EQ(form->Memo1->LastLine(), "Ready...");
    form->Memo1->Clear();
    port->Vanish();
    loop.RunFor(10);
  }
};

TEST_F(LineLostTest, ToldOnceAndThePollKeepsItsCadenceWithoutTouchingThePort) {
  Start();
  form->Memo1->Clear();
  port->Vanish();
  port->ClearCalls();
  loop.RunFor(10);
  EXPECT_EQ(Lines(form->Memo1), std::vector<std::string>{kLost});
  ASSERT_EQ(port->Calls().size(), 1u);
  EXPECT_EQ(port->Calls()[0].name, "ClearCommError");

  // Ten seconds of ticks: the poll timer still runs every 10 ms, and not one
  // of the thousand ticks makes a call on the port or adds a line.
  port->ClearCalls();
  const toolkit::TTimer& poll = app::Comm1->Timer();
  const std::uint64_t due = loop.TimerDue(poll);
  loop.RunFor(10000);
  EXPECT_TRUE(loop.TimerRunning(poll));
  EXPECT_EQ(loop.TimerDue(poll), due + 10000);
  EXPECT_TRUE(port->Calls().empty());
  EXPECT_EQ(Lines(form->Memo1), std::vector<std::string>{kLost});
  EXPECT_TRUE(form->EndBtn->Enabled());
}

TEST_F(LineLostTest, SendsAreLoggedButGoNowhere) {
  StartAndLose();
  port->ClearCalls();
  form->Memo2->Clear();
  form->Memo4->Clear();
  form->StatusBtn->Click();
  form->Button1->Click();  // the live poll: one send now, then one a second
  loop.RunFor(3000);
  EXPECT_EQ(form->Memo4->Lines().front(), kStatusTx);
  EXPECT_EQ(form->Memo4->LineCount(), 5u);  // the status and four live polls
  EXPECT_TRUE(port->Calls().empty());
  EXPECT_TRUE(form->Memo2->Lines().empty());
  EXPECT_NE(LogContent().find(kStatusTx + "\r\n"), std::string::npos);

  // The status poll's watchdog sees the silence and stops the poll.
  form->Button1->Click();
  form->Button2->Click();
  loop.RunFor(8000);
  EXPECT_EQ(form->Memo4->LastLine(), "xxxxxxxxxxxxxxxxxxxxxx");
  EXPECT_FALSE(loop.TimerRunning(*form->Timer3));
  EXPECT_EQ(Lines(form->Memo1), std::vector<std::string>{kLost});
}

TEST_F(LineLostTest, EndAndStartWorkAgainOnceTheDeviceIsBack) {
  StartAndLose();
  form->EndBtn->Click();
  EXPECT_FALSE(port->IsOpen());
  EXPECT_EQ(port->CountCalls("CloseHandle"), 1u);
  EXPECT_TRUE(form->StartBtn->Enabled());

  // Still gone: the next start is told why nothing will answer.
  Start();
  ASSERT_EQ(form->Memo1->LineCount(), 1u);
  EXPECT_EQ(form->Memo1->LastLine().rfind("COM1 (", 0), 0u);
  EXPECT_NE(form->Memo1->LastLine().find(") cannot be opened: No such file or directory"),
            std::string::npos)
      << form->Memo1->LastLine();
  form->EndBtn->Click();

  port->Reappear();
  port->ClearWritten();
  Start();
  EXPECT_TRUE(port->IsOpen());
  EXPECT_EQ(Lines(form->Memo1), std::vector<std::string>{"Ready..."});
  EXPECT_EQ(port->Written().size(), protocol::FrameSize);

  // The new connection has its own report: lost again, told again, once.
  form->Memo1->Clear();
  port->Vanish();
  loop.RunFor(1000);
  EXPECT_EQ(Lines(form->Memo1), std::vector<std::string>{kLost});
}

}  // namespace
}  // namespace console_test
