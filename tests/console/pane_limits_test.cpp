// A console left polling for hours: each pane keeps its newest
// PaneLineLimit lines, while the traffic log keeps every line.
#include <sstream>

#include "tests/console/console_fixture.h"
#include "toolkit/memo.h"

namespace console_test {
namespace {

using toolkit::PaneLineLimit;

constexpr const char* kLiveTx = "Tx : 02 30 30 58 30 30 30 30 7A 03 ";

std::size_t CountLines(const std::string& text, const std::string& line) {
  std::istringstream in(text);
  std::size_t n = 0;
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    n += l == line ? 1 : 0;
  }
  return n;
}

class PaneLimitsTest : public ConsoleTest {};

TEST_F(PaneLimitsTest, PanesKeepTheirNewestLinesAndTheLogKeepsEveryLine) {
  // Every live poll is acknowledged (a Memo1 line) and answered with an 'x'
  // reply, in two reads: each send adds to all four panes.
  const protocol::CommandFrame x = Reply('x', 0x01, 0x80, 0, 0);
  std::size_t polls = 0;
  device.SetScript(
      [&](platform::SimulatedPort& p, const protocol::CommandFrame& f, std::uint64_t t) {
        if (f[3] != 'X') return;
        ++polls;
        p.Deliver(std::vector<platform::BYTE>{protocol::ACK}, t + 5);
        p.Deliver(Bytes(x), t + 25);
      });
  form->Debug->Click();
  Start();
  form->Button1->Click();
  constexpr std::size_t kSends = 12000;
  while (polls < kSends) {
    loop.RunFor(1000);
    // The port's record of calls would otherwise grow by two per poll tick.
    port->ClearCalls();
    loop.ClearRecords();
  }
  form->Button1->Click();  // stop
  loop.RunFor(1000);
  ASSERT_EQ(polls, kSends);

  for (const toolkit::TMemo* memo : {form->Memo1, form->Memo2, form->Memo3, form->Memo4}) {
    EXPECT_EQ(memo->LineCount(), PaneLineLimit) << memo->Name;
  }
  const std::string rx = "Rx : " + protocol::HexLine(x);
  EXPECT_EQ(form->Memo4->LastLine(), rx);
  // 10,000 = 3 x 3,333 + 1: the oldest line kept ends an earlier send's three.
  EXPECT_EQ(form->Memo4->Lines()[0], rx);
  EXPECT_EQ(form->Memo4->Lines()[1], kLiveTx);
  EXPECT_EQ(form->Memo1->LastLine(), "Out Bill ...OK");
  EXPECT_EQ(form->Memo3->LastLine(), protocol::HexLine(x));

  const std::string log = LogContent();
  EXPECT_EQ(CountLines(log, kLiveTx), kSends);
  EXPECT_EQ(CountLines(log, "Rx : 06"), kSends);
  EXPECT_EQ(CountLines(log, rx), kSends);
}

}  // namespace
}  // namespace console_test
