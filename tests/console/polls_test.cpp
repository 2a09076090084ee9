// The status poll with its watchdog and record file, and the live DIP poll.
#include "platform/date_format.h"
#include "tests/console/console_fixture.h"

namespace console_test {
namespace {

class PollsTest : public ConsoleTest {
 protected:
  void AnswerStatus(bool answer) {
    device.SetScript(
        [answer](platform::SimulatedPort& p, const protocol::CommandFrame& f, std::uint64_t t) {
          if (answer && f[3] == 'S') p.Deliver(Bytes(Reply('s', 'r', '0', '0', '0')), t + 20);
        });
  }
  std::string RecordFile() const {
    return testing_support::ReadFile(prefix.path() + "/drive_d/RM460_Record.txt");
  }
  static bool IsTickLine(const std::string& line) {
    return !line.empty() && line.rfind("Tx", 0) != 0 && line.rfind("Rx", 0) != 0 &&
           line.find(platform::TimeSeparator()) != std::string::npos;
  }
  std::size_t CountLive() const {
    std::size_t n = 0;
    for (const auto& l : form->Memo4->Lines()) n += l == kLiveTx ? 1 : 0;
    return n;
  }
  static constexpr const char* kLiveTx = "Tx : 02 30 30 58 30 30 30 30 7A 03 ";
};

TEST_F(PollsTest, TheFirstTickComesTwoSecondsAfterTheClick) {
  AnswerStatus(true);
  Start();
  form->Memo4->Clear();
  const std::uint64_t clickAt = loop.NowMs();
  form->Button2->Click();
  EXPECT_EQ(form->Button2->Caption(), "2 seconds Status - Stop");
  loop.RunUntil(clickAt + 1999);
  EXPECT_TRUE(form->Memo4->Lines().empty());
  loop.RunUntil(clickAt + 2000);
  ASSERT_FALSE(form->Memo4->Lines().empty());
  const platform::LocalDateTime at = loop.LocalNow();
  EXPECT_EQ(form->Memo4->Lines().front(),
            platform::ShortDateString(at) + " " + platform::LongTimeString(at));
}

TEST_F(PollsTest, AnAnsweredPollAlternatesRecordLinesAndClearsThePanesEveryEleventhTick) {
  AnswerStatus(true);
  Start();
  form->Button2->Click();
  std::size_t clears = 0;
  std::size_t lastCount = form->Memo4->LineCount();
  for (int tick = 1; tick <= 33; ++tick) {
    loop.RunFor(2000);
    if (form->Memo4->LineCount() < lastCount) ++clears;
    lastCount = form->Memo4->LineCount();
    if (tick % 11 == 0) {
      EXPECT_TRUE(form->Memo4->Lines().empty()) << tick;
      EXPECT_TRUE(form->Memo1->Lines().size() <= 1) << tick;  // the reply may have come
    }
  }
  EXPECT_EQ(app::StatusTickCount, 0u);
  EXPECT_TRUE(loop.TimerRunning(*form->Timer3));
  loop.RunFor(100);  // the last tick's reply
  // The Start's own status reply first, then tick line and reply line in turn.
  std::vector<std::string> lines;
  const std::string file = RecordFile();
  for (std::size_t at = 0, next; (next = file.find("\r\n", at)) != std::string::npos;
       at = next + 2) {
    lines.push_back(file.substr(at, next - at));
  }
  ASSERT_EQ(lines.size(), 67u);
  EXPECT_EQ(lines[0], "Rx:114");
  for (std::size_t i = 1; i < lines.size(); i += 2) {
    EXPECT_TRUE(IsTickLine(lines[i])) << lines[i];
    EXPECT_EQ(lines[i + 1], "Rx:114");
  }
}

TEST_F(PollsTest, WithoutAnswersTheWatchdogStopsThePollEightSecondsAfterTheClick) {
  AnswerStatus(false);
  Start();
  const std::uint64_t clickAt = loop.NowMs();
  form->Button2->Click();
  loop.RunUntil(clickAt + 7999);
  EXPECT_NE(form->Memo4->LastLine(), "xxxxxxxxxxxxxxxxxxxxxx");
  loop.RunUntil(clickAt + 8000);
  EXPECT_EQ(form->Memo4->LastLine(), "xxxxxxxxxxxxxxxxxxxxxx");
  EXPECT_FALSE(loop.TimerRunning(*form->Timer3));
  EXPECT_EQ(form->Button2->Caption(), "2 seconds Status - Stop");
  loop.RunFor(10000);
  EXPECT_EQ(form->Memo4->LastLine(), "xxxxxxxxxxxxxxxxxxxxxx");  // nothing polls

  form->Button2->Click();  // caption only
  EXPECT_EQ(form->Button2->Caption(), "2 seconds Status - Start");
  EXPECT_FALSE(loop.TimerRunning(*form->Timer3));
  form->Button2->Click();
  EXPECT_TRUE(loop.TimerRunning(*form->Timer3));
}

TEST_F(PollsTest, TheTickCountCarriesOverFromOnePollingPeriodToTheNext) {
  AnswerStatus(true);
  Start();
  form->Button2->Click();
  loop.RunFor(5 * 2000 + 100);
  form->Button2->Click();
  EXPECT_EQ(app::StatusTickCount, 5u);
  form->Button2->Click();
  loop.RunFor(5 * 2000);
  EXPECT_FALSE(form->Memo4->Lines().empty());
  loop.RunFor(2000);  // the sixth tick of the new period is the eleventh
  EXPECT_EQ(app::StatusTickCount, 0u);
}

TEST_F(PollsTest, StoppingThePollLeavesARunningWatchdogToFire) {
  AnswerStatus(false);
  Start();
  form->Button2->Click();
  loop.RunFor(2100);
  form->Button2->Click();
  loop.RunFor(6000);
  EXPECT_EQ(form->Memo4->LastLine(), "xxxxxxxxxxxxxxxxxxxxxx");
}

TEST_F(PollsTest, TheLivePollSendsEverySecondToIdZeroZero) {
  Start();
  form->Edi1th->SetText("5");
  form->Memo4->Clear();
  form->Button1->Click();
  EXPECT_EQ(form->Button1->Caption(), "Stop");
  EXPECT_EQ(CountLive(), 1u);
  loop.RunFor(3000);
  EXPECT_EQ(CountLive(), 4u);
  form->Button1->Click();
  EXPECT_EQ(form->Button1->Caption(), "DIP SWITCH");
  loop.RunFor(3000);
  EXPECT_EQ(CountLive(), 4u);
}

TEST_F(PollsTest, ASwallowedStartClickStillStartsTheTimedSends) {
  Start();
  form->Memo4->Clear();
  form->StatusBtn->KeyDown(toolkit::VK_SPACE);
  form->Button1->Click();
  EXPECT_EQ(CountLive(), 0u);
  EXPECT_EQ(form->Button1->Caption(), "DIP SWITCH");
  loop.RunFor(2000);
  EXPECT_EQ(CountLive(), 2u);
  form->Button1->Click();  // the start branch again: sends at once
  EXPECT_EQ(CountLive(), 3u);
  EXPECT_EQ(form->Button1->Caption(), "Stop");
}

TEST_F(PollsTest, TheLivePollGoesOnAfterEndProtocol) {
  Start();
  form->Button1->Click();
  form->EndBtn->Click();
  EXPECT_FALSE(form->Button1->Enabled());
  EXPECT_EQ(form->Button1->Caption(), "Stop");
  const std::size_t before = CountLive();
  const std::size_t writes = port->CountCalls("WriteFile");
  loop.RunFor(3000);
  EXPECT_EQ(CountLive(), before + 3);
  EXPECT_EQ(port->CountCalls("WriteFile"), writes);
}

}  // namespace
}  // namespace console_test
