// SendFrame: the "Tx : " line in the pane and the log before any byte, the
// pauses, one write per byte with the message pump between, a frame asked
// for during another's transmission, and sends with no port.
#include "tests/console/console_fixture.h"

namespace console_test {
namespace {

using SendFrameTest = ConsoleTest;

const char* const kStatusTx = "Tx : 02 30 30 53 30 30 30 30 75 03 ";
const char* const kLivePollTx = "Tx : 02 30 30 58 30 30 30 30 7A 03 ";

TEST_F(SendFrameTest, LogsAndShowsTheLineBeforeWritingBytesOneByOne) {
  form->StartBtn->Click();  // sends the Status command
  ASSERT_TRUE(app::Comm1->PortOpen());
  EXPECT_EQ(form->Memo4->Lines().front(), kStatusTx);
  EXPECT_EQ(std::string(kStatusTx).size(), 35u);

  const std::string log = LogContent();
  EXPECT_NE(log.find(std::string(kStatusTx) + "\r\n"), std::string::npos);

  // Ten one-byte writes; the pauses 30 ms before and 10 ms after, in
  // virtual time.
  std::vector<platform::SimulatedPort::Call> writes;
  for (const auto& c : port->Calls()) {
    if (c.name == "WriteFile") writes.push_back(c);
  }
  ASSERT_EQ(writes.size(), 10u);
  for (const auto& w : writes) EXPECT_EQ(w.bytes.size(), 1u);
  EXPECT_EQ(SentFrames(), std::vector<std::string>{"02 30 30 53 30 30 30 30 75 03 "});
  ASSERT_GE(loop.Sleeps().size(), 2u);
  EXPECT_EQ(loop.Sleeps()[0].second, 30u);
  EXPECT_EQ(loop.Sleeps()[1].second, 10u);
  EXPECT_EQ(loop.NowMs(), 40u);
}

TEST_F(SendFrameTest, TheMessagePumpRunsBetweenBytes) {
  Start();
  // A reply waiting in the queue is received while the next frame is sent,
  // before its transmission has ended.
  port->Deliver(Bytes(Reply('s', 'r', '0', '0', '0')), loop.NowMs());
  app::Comm1->Timer().SetEnabled(true);
  bool decodedDuringSend = false;
  loop.PostNow([&] {
    form->BillCountBtn->Click();
    decodedDuringSend = !form->Memo1->Lines().empty() && form->Memo1->LastLine() == "Ready...";
  });
  loop.RunFor(200);
  // The reply had already been decoded when the click handler returned:
  // its line stood in the pane before the click's own send finished.
  EXPECT_TRUE(decodedDuringSend);
}

TEST_F(SendFrameTest, AFrameAskedForDuringAnotherGoesOutWholeAfterIt) {
  Start();
  device.Frames();
  port->ClearWritten();
  form->Memo4->Clear();
  app::DipPollActive = true;
  // The Status click starts 30 ms before the live poll's tick is due, so the
  // tick runs from the message pump after the Status frame's first byte.
  loop.RunUntil(970);
  port->ClearWritten();
  form->Memo4->Clear();
  loop.PostNow([&] { form->StatusBtn->Click(); });
  loop.RunFor(100);
  EXPECT_EQ(Lines(form->Memo4), (std::vector<std::string>{kStatusTx, kLivePollTx}));
  const auto& w = port->Written();
  ASSERT_EQ(w.size(), 20u);
  EXPECT_EQ(protocol::HexLine(&w[0], 10), "02 30 30 53 30 30 30 30 75 03 ");
  EXPECT_EQ(protocol::HexLine(&w[10], 10), "02 30 30 58 30 30 30 30 7A 03 ");
  const std::string log = LogContent();
  EXPECT_LT(log.rfind(kStatusTx), log.rfind(kLivePollTx));
}

TEST_F(SendFrameTest, SendsWithoutAComponentOrWithAClosedPortReachNoPort) {
  // Before the first Start Protocol: no component, no log.
  form->Button2->Click();
  loop.RunFor(2000);
  EXPECT_EQ(form->Memo4->Lines().back(), kStatusTx);
  EXPECT_EQ(port->CountCalls("WriteFile"), 0u);
  EXPECT_EQ(LogContent(), "");

  // After End Protocol: a closed component, no log.
  form->Button2->Click();
  Start();
  form->EndBtn->Click();
  const std::string logAtEnd = LogContent();
  const std::size_t writes = port->CountCalls("WriteFile");
  form->StatusBtn->SetEnabled(true);
  form->StatusBtn->Click();
  EXPECT_EQ(form->Memo4->Lines().back(), kStatusTx);
  EXPECT_EQ(port->CountCalls("WriteFile"), writes);
  EXPECT_EQ(LogContent(), logAtEnd);
  EXPECT_TRUE(loop.MessageBoxes().empty());
  EXPECT_TRUE(loop.Errors().empty());
}

}  // namespace
}  // namespace console_test
