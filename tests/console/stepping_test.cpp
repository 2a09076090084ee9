// "Out Bill One": bills one at a time, the pause, the timeout box, and the
// ways a run stops.
#include "tests/console/console_fixture.h"

namespace console_test {
namespace {

class SteppingTest : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    Start();
    form->Memo1->Clear();
    // A dispenser that acknowledges each dispense command and reports the
    // count of bills that came out; an empty script list means no answer.
    device.SetScript(
        [this](platform::SimulatedPort& p, const protocol::CommandFrame& f, std::uint64_t t) {
          if (f[3] != 'B') return;
          if (counts.empty()) return;
          const int n = counts.front();
          counts.erase(counts.begin());
          if (n < 0) return;  // this step stays unanswered
          p.Deliver(std::vector<platform::BYTE>{protocol::ACK}, t + 5);
          p.Deliver(Bytes(Reply('b', '0', '0', '0', static_cast<std::uint8_t>('0' + n))), t + 300);
        });
  }
  std::size_t StepFramesSent() const {
    std::size_t n = 0;
    for (const auto& f : device.Frames()) n += protocol::HexLine(f) == kStep ? 1 : 0;
    return n;
  }
  static constexpr const char* kStep = "02 30 30 42 30 30 30 31 65 03 ";
  std::vector<int> counts;
};

TEST_F(SteppingTest, ARunOfThreeWithAPause) {
  counts = {1, 1, 1};
  form->EdiOutBill->SetText("3");
  form->Edit1->SetText("500");
  loop.PostNow([&] { form->OutBtnStep->Click(); });
  loop.RunFor(5000);
  EXPECT_EQ(Lines(form->Memo1), (std::vector<std::string>{"Out Bill...OK", "2", "Out Bill...OK",
                                                          "1", "Out Bill...OK"}));
  EXPECT_EQ(StepFramesSent(), 3u);
  EXPECT_EQ(app::BillsRemaining, 0);
  EXPECT_EQ(app::PendingCommand, 10u);
  EXPECT_FALSE(loop.TimerRunning(*form->Timer2));
  EXPECT_TRUE(loop.MessageBoxes().empty());
  std::size_t pauses = 0;
  for (const auto& s : loop.Sleeps()) pauses += s.second == 500 ? 1 : 0;
  EXPECT_EQ(pauses, 2u);
}

TEST_F(SteppingTest, OneBillEndsSilentlyAndNothingIsSentForZeroOrEmpty) {
  counts = {1};
  form->EdiOutBill->SetText("1");
  form->OutBtnStep->Click();
  loop.RunFor(5000);
  EXPECT_EQ(Lines(form->Memo1), std::vector<std::string>{"Out Bill...OK"});
  EXPECT_EQ(StepFramesSent(), 1u);

  app::PendingCommand = 3;
  app::BillsRemaining = 7;
  for (const char* text : {"0", ""}) {
    form->EdiOutBill->SetText(text);
    form->OutBtnStep->Click();
  }
  loop.RunFor(5000);
  EXPECT_EQ(StepFramesSent(), 1u);
  EXPECT_EQ(app::PendingCommand, 3u);
  EXPECT_EQ(app::BillsRemaining, 7);
}

TEST_F(SteppingTest, ACountOtherThanOneStopsTheRun) {
  counts = {0};
  form->EdiOutBill->SetText("5");
  form->OutBtnStep->Click();
  loop.RunFor(5000);
  EXPECT_EQ(form->Memo1->LastLine(), "-5 bills during being dispensed");
  EXPECT_EQ(StepFramesSent(), 1u);
  EXPECT_FALSE(loop.TimerRunning(*form->Timer2));
  EXPECT_TRUE(loop.MessageBoxes().empty());

  // After a finished run PendingCommand is still 10: a count of 2 from
  // anywhere is taken as a step.
  app::BillsRemaining = 0;
  port->Deliver(Bytes(Reply('b', '0', '0', '0', '2')), loop.NowMs());
  loop.RunFor(20);
  EXPECT_EQ(form->Memo1->LastLine(), "-0 bills during being dispensed");
}

TEST_F(SteppingTest, AStepWithoutAnswerTimesOutAndALateCountCarriesTheRunOn) {
  counts = {1, -1};
  form->EdiOutBill->SetText("4");
  loop.PostNow([&] { form->OutBtnStep->Click(); });
  loop.RunFor(400);  // first count arrives, second step sent
  const std::uint64_t timeoutDue = loop.TimerDue(*form->Timer2);
  loop.RunFor(3500);
  ASSERT_EQ(loop.MessageBoxes().size(), 1u);
  EXPECT_EQ(loop.MessageBoxes()[0].text, "3 bills does not out");
  EXPECT_EQ(loop.MessageBoxes()[0].title, "Time Out");
  EXPECT_EQ(loop.MessageBoxes()[0].atMs, timeoutDue);
  EXPECT_EQ(app::BillsRemaining, 3);

  counts = {1, 1};
  port->Deliver(Bytes(Reply('b', '0', '0', '0', '1')), loop.NowMs());
  loop.RunFor(3000);
  const auto lines = Lines(form->Memo1);
  ASSERT_GE(lines.size(), 4u);
  // The run goes on with 2 remaining.
  EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
            (std::vector<std::string>{"2", "Out Bill...OK", "1", "Out Bill...OK"}));
  EXPECT_EQ(app::BillsRemaining, 0);
  EXPECT_EQ(loop.MessageBoxes().size(), 1u);
}

TEST_F(SteppingTest, TheBoxDoesNotStopRepliesAndASecondTimeoutOpensASecondBox) {
  counts = {-1, -1};
  form->EdiOutBill->SetText("2");
  form->OutBtnStep->Click();
  loop.RunFor(3100);
  ASSERT_EQ(loop.MessageBoxes().size(), 1u);
  // While the box is up, replies are still decoded.
  port->Deliver(Bytes(Reply('c', '0', '0', '0', '8')), loop.NowMs());
  loop.RunFor(20);
  EXPECT_EQ(form->Memo1->LastLine(), ">> Total Count = 8");
  form->OutBtnStep->Click();
  loop.RunFor(3100);
  EXPECT_EQ(loop.MessageBoxes().size(), 2u);
}

TEST_F(SteppingTest, ASecondClickDuringARunResetsTheCountAndKeepsTheTimeout) {
  counts = {-1, -1};
  form->EdiOutBill->SetText("4");
  form->OutBtnStep->Click();
  loop.RunFor(1000);
  const std::uint64_t due = loop.TimerDue(*form->Timer2);
  form->EdiOutBill->SetText("6");
  form->OutBtnStep->Click();
  EXPECT_EQ(app::BillsRemaining, 6);
  EXPECT_EQ(StepFramesSent(), 2u);
  EXPECT_EQ(loop.TimerDue(*form->Timer2), due);
}

TEST_F(SteppingTest, PauseTextsThatAreNegativeOrNoNumber) {
  counts = {1, 1};
  form->EdiOutBill->SetText("3");
  form->Edit1->SetText("-1");  // no pause, not 49 days
  form->OutBtnStep->Click();
  loop.RunFor(400);
  EXPECT_EQ(form->Memo1->Lines()[1], "2");
  for (const auto& s : loop.Sleeps()) EXPECT_LE(s.second, 30u);

  form->Edit1->SetText("abc");
  loop.RunFor(400);
  EXPECT_EQ(loop.Errors(), std::vector<std::string>{"'abc' is not a valid integer value"});
  EXPECT_EQ(app::BillsRemaining, 1);  // decremented before the conversion
  EXPECT_FALSE(loop.TimerRunning(*form->Timer2));
  EXPECT_EQ(StepFramesSent(), 2u);
}

}  // namespace
}  // namespace console_test
