// The receive handler: acknowledgement and failure reports, reply assembly
// across reads, the "Rx : " lines, the debug dump.
#include "tests/console/console_fixture.h"

namespace console_test {
namespace {

class ReceiveTest : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    Start();
    form->Memo1->Clear();
    form->Memo2->Clear();
    form->Memo4->Clear();
  }
  // Puts bytes in the receive queue and lets the next poll read them.
  void Receive(const std::vector<platform::BYTE>& bytes) {
    port->Deliver(bytes, loop.NowMs());
    loop.RunFor(10);
  }
  static std::vector<platform::BYTE> Cat(std::initializer_list<std::vector<platform::BYTE>> parts) {
    std::vector<platform::BYTE> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  }
};

TEST_F(ReceiveTest, AnAckShowsTheTextOfThePendingCommand) {
  const char* texts[] = {
      "Out Bill ...OK",
      ">> Clear Account ...OK",
      ">> Clear Error message...OK",
      ">> Clear Account and Error message...OK",
      ">> Disable Key ...OK",
      ">> Enable Key...OK",
      ">> Clear Error Record...OK",
      ">> Calibration IR...OK",
      ">> Password Enable...OK",
      ">> Password Disable...OK",
      "Out Bill...OK",
  };
  for (std::uint32_t value = 0; value <= 10; ++value) {
    app::PendingCommand = value;
    Receive({protocol::ACK});
    EXPECT_EQ(form->Memo1->LastLine(), texts[value]);
    EXPECT_EQ(form->Memo2->LastLine(), "Rx : 06");
    EXPECT_EQ(form->Memo4->LastLine(), "Rx : 06");
    EXPECT_EQ(app::PendingCommand, value);
  }
  Receive({protocol::FailureByte});
  EXPECT_EQ(form->Memo1->LastLine(), "Protocol failure...");
  EXPECT_EQ(form->Memo2->LastLine(), "Rx : 0a");
  const std::string log = LogContent();
  EXPECT_NE(log.find("Rx : 06\r\n"), std::string::npos);
  EXPECT_NE(log.find("Rx : 0a\r\n"), std::string::npos);
}

TEST_F(ReceiveTest, AReplySplitOverTwoReadsIsAssembledAndDecodedInTheSecond) {
  const auto reply = Bytes(Reply('c', '0', '1', '2', '3'));
  Receive({reply.begin(), reply.begin() + 3});
  EXPECT_TRUE(form->Memo2->Lines().empty());
  Receive({reply.begin() + 3, reply.end()});
  EXPECT_EQ(Lines(form->Memo2), std::vector<std::string>{"Rx : 02 30 30 63 30 31 32 33 8B 03 "});
  EXPECT_EQ(Lines(form->Memo1), std::vector<std::string>{">> Total Count = 123"});
}

TEST_F(ReceiveTest, EveryReplyCompletedInOneReadIsDecodedFromItsOwnBytes) {
  const auto first = Bytes(Reply('c', '0', '0', '0', '7'));
  const auto second = Bytes(Reply('s', 'r', '0', '0', '0'));
  const auto third = Bytes(Reply('c', '0', '0', '0', '9'));
  Receive(Cat({first, second, {third.begin(), third.begin() + 5}}));
  EXPECT_EQ(form->Memo2->LineCount(), 2u);
  EXPECT_EQ(Lines(form->Memo1), (std::vector<std::string>{">> Total Count = 7", "Ready..."}));
  Receive({third.begin() + 5, third.end()});
  EXPECT_EQ(form->Memo1->LastLine(), ">> Total Count = 9");
}

TEST_F(ReceiveTest, DataBytesThatLookLikeAcknowledgementsAreFrameData) {
  // 'c' with digits 0,0,0,1 has the checksum 0x06... find one: the sum of
  // the other bytes decides it, so build a reply whose checksum is 0x06 and
  // one that holds a 0x0A data byte.
  protocol::CommandFrame f = Reply('w', 0x00, 0x0A, 0x01, 0x00);
  Receive(Bytes(f));
  EXPECT_EQ(Lines(form->Memo1), std::vector<std::string>{"10 1 0"});
  EXPECT_EQ(form->Memo2->LineCount(), 1u);

  protocol::CommandFrame g{protocol::STX, '0', '0', 'w', 0, 0, 0, 0, 0, protocol::ETX};
  g[7] = static_cast<std::uint8_t>(0x06 + 256 - (protocol::FrameChecksum(g) % 256));
  g[8] = protocol::FrameChecksum(g);
  ASSERT_EQ(g[8], protocol::ACK);
  form->Memo1->Clear();
  Receive(Bytes(g));
  ASSERT_EQ(form->Memo1->LineCount(), 1u);
  EXPECT_NE(form->Memo1->LastLine(), "Out Bill ...OK");
}

TEST_F(ReceiveTest, ABrokenFrameDoesNotSwallowTheNextGoodOne) {
  std::vector<platform::BYTE> broken = {protocol::STX, '0', '0', 'c',  '0',
                                        '0',           '0', '1', 0x64, 'X'};
  Receive(Cat({broken, Bytes(Reply('c', '0', '0', '0', '5'))}));
  EXPECT_EQ(Lines(form->Memo1), std::vector<std::string>{">> Total Count = 5"});
  EXPECT_EQ(form->Memo2->LineCount(), 1u);
}

TEST_F(ReceiveTest, AnStxInsideAReplyIsData) {
  // 'w' with a raw 0x02 at B5: completes only at its own ETX.
  Receive(Bytes(Reply('w', 0, protocol::STX, 3, 4)));
  EXPECT_EQ(Lines(form->Memo1), std::vector<std::string>{"2 3 4"});
}

TEST_F(ReceiveTest, ANewConnectionStartsTheAssemblyClean) {
  const auto reply = Bytes(Reply('c', '0', '0', '4', '2'));
  Receive({reply.begin(), reply.begin() + 4});
  form->EndBtn->Click();
  Start();
  form->Memo1->Clear();
  Receive(reply);
  EXPECT_EQ(Lines(form->Memo1), std::vector<std::string>{">> Total Count = 42"});
}

TEST_F(ReceiveTest, TheDebugDumpGetsOneLinePerCallWhileChecked) {
  form->Debug->Click();
  // A fresh component whose first call finds nothing: an empty line.
  form->Comm1ReceiveData(app::Comm1);
  Receive({0x41, protocol::ACK, 0x00});
  EXPECT_EQ(Lines(form->Memo3), (std::vector<std::string>{"", "41 06 00 "}));
  form->Debug->Click();
  Receive({0x41});
  EXPECT_EQ(form->Memo3->LineCount(), 2u);
  EXPECT_EQ(LogContent().find("41 06 00"), std::string::npos);
}

TEST_F(ReceiveTest, OutputOfOneCallComesInByteOrderThenDecoding) {
  app::PendingCommand = 1;
  Receive(Cat({Bytes(Reply('s', 'r', '0', '0', '0')), {protocol::ACK}}));
  EXPECT_EQ(Lines(form->Memo1), (std::vector<std::string>{">> Clear Account ...OK", "Ready..."}));
  EXPECT_EQ(Lines(form->Memo2),
            (std::vector<std::string>{"Rx : 02 30 30 73 72 30 30 30 D7 03 ", "Rx : 06"}));
}

}  // namespace
}  // namespace console_test
