// What decoded replies do to the window: lamps, test fields and their
// colour, the caption, counts, the record file and the watchdog.
#include "tests/console/console_fixture.h"

namespace console_test {
namespace {

class DecodeTest : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    Start();
    form->Memo1->Clear();
    device.SetScript({});
  }
  void Receive(const protocol::CommandFrame& f) {
    port->Deliver(Bytes(f), loop.NowMs());
    loop.RunFor(10);
  }
  std::string RecordFile() const {
    return testing_support::ReadFile(std::string(std::getenv("RM460_PREFIX")) +
                                     "/drive_d/RM460_Record.txt");
  }
  std::vector<toolkit::TColor> LampColours() const {
    std::vector<toolkit::TColor> colours;
    for (int n = 1; n <= 10; ++n) colours.push_back(form->Lamp(n)->Color());
    return colours;
  }
};

constexpr toolkit::TColor R = toolkit::clRed;
constexpr toolkit::TColor B = toolkit::clBlack;

TEST_F(DecodeTest, DipRepliesPaintTheLamps) {
  // B4 0x01 sets D2, B5 0xA5 sets D3, D5, D8, D10: set bits are black (OFF).
  Receive(Reply('d', 0x01, 0xA5, 0, 0));
  EXPECT_EQ(LampColours(), (std::vector<toolkit::TColor>{R, B, B, R, B, R, R, B, R, B}));
  EXPECT_EQ(form->Lamp(2)->AccessibleName(), "DIP 2 OFF");
  EXPECT_EQ(form->Lamp(1)->AccessibleName(), "DIP 1 ON");

  // The live poll's 'x' from ID "00" paints although the window's ID is 05.
  form->Edi1th->SetText("5");
  Receive(Reply('x', 0x02, 0x00, 0, 0));
  EXPECT_EQ(LampColours(), (std::vector<toolkit::TColor>{B, R, R, R, R, R, R, R, R, R}));
  // The same bytes as 'd' from the wrong ID change nothing.
  Receive(Reply('d', 0x00, 0xFF, 0, 0));
  EXPECT_EQ(LampColours(), (std::vector<toolkit::TColor>{B, R, R, R, R, R, R, R, R, R}));
  // A corrupted 'x' paints nothing.
  protocol::CommandFrame bad = Reply('x', 0x00, 0xFF, 0, 0);
  bad[8] ^= 0x01;
  Receive(bad);
  EXPECT_EQ(LampColours(), (std::vector<toolkit::TColor>{B, R, R, R, R, R, R, R, R, R}));
}

TEST_F(DecodeTest, InvalidRepliesChangeNothing) {
  protocol::CommandFrame wrongSum = Reply('c', '0', '0', '1', '2');
  wrongSum[8] += 1;
  Receive(wrongSum);
  Receive(Reply('c', '0', '0', '1', '2', '0', '3'));  // another dispenser
  form->Edi1th->SetText("");
  Receive(Reply('c', '0', '0', '1', '2'));
  Receive(Reply('v', 2, 10, 3, 0));
  EXPECT_TRUE(form->Memo1->Lines().empty());
  EXPECT_EQ(form->Caption(), "RM460 v1.8");
  EXPECT_EQ(form->Memo2->LineCount(), 4u);  // each left its "Rx : " line
}

TEST_F(DecodeTest, CountsCaptionPasswordAndValues) {
  Receive(Reply('c', '0', '1', '2', '3'));
  Receive(Reply('p', 9, 1, 20, 255));
  Receive(Reply('w', 9, 7, 0, 12));
  Receive(Reply('y', 0, 0, 1, 2));
  Receive(Reply('z', 3, 4, 5, 6));
  Receive(Reply('z', 3, 4, 5, 6));
  Receive(Reply('v', 2, 10, 3, 9));
  EXPECT_EQ(Lines(form->Memo1), (std::vector<std::string>{
                                    ">> Total Count = 123",
                                    ">> Password is",
                                    "1 20 255",
                                    "7 0 12",
                                    ">> Test Count = 123456",
                                    ">> Test Count = 126912",
                                }));
  EXPECT_EQ(form->Caption(), "RM460 2.103");
}

TEST_F(DecodeTest, BillsRepliesCompareWithTheCountField) {
  app::PendingCommand = 0;
  form->EdiOutBill->SetText("5");
  Receive(Reply('b', '0', '0', '0', '3'));
  form->EdiOutBill->SetText("3");
  Receive(Reply('b', '0', '0', '0', '3'));
  EXPECT_EQ(Lines(form->Memo1),
            (std::vector<std::string>{">> OutBill = 3;   -2  bills during being dispensed",
                                      ">> OutBill = 3"}));
  // An empty count field raises the conversion error; the program goes on.
  form->EdiOutBill->SetText("");
  Receive(Reply('b', '0', '0', '0', '3'));
  EXPECT_EQ(loop.Errors(), std::vector<std::string>{"'' is not a valid integer value"});
  Receive(Reply('c', '0', '0', '0', '1'));
  EXPECT_EQ(form->Memo1->LastLine(), ">> Total Count = 1");
}

TEST_F(DecodeTest, AutoTestRepliesFillTheirFieldsAndSendTheNextStep) {
  form->Edi1th->SetText("7");
  port->ClearWritten();
  Receive(Reply('0', 0, 0, 0, 0, '0', '7'));
  EXPECT_EQ(form->lblMOTOR->Caption(), "ERROR");
  EXPECT_EQ(form->lblMOTOR->FontColor(), toolkit::clRed);
  EXPECT_EQ(protocol::HexLine(port->Written().data(), port->Written().size()),
            "02 30 37 31 30 30 30 30 5A 03 ");
  Receive(Reply('0', 0, 0, 0x05, 0xDC, '0', '7'));
  EXPECT_EQ(form->lblMOTOR->Caption(), "1500");
  EXPECT_EQ(form->lblMOTOR->FontColor(), toolkit::clRed);  // stays red
  EXPECT_EQ(form->lblMOTOR->AccessibleName(), "MOTOR SPEED: 1500");
  Receive(Reply('1', 0, 0, 0, 0, '0', '7'));
  EXPECT_EQ(form->lblLIR->Caption(), "0");
  EXPECT_NE(form->lblLIR->FontColor(), toolkit::clRed);
  port->ClearWritten();
  Receive(Reply('5', 0, 0, 0, 0, '0', '7'));
  EXPECT_EQ(form->lblCOUNTER->Caption(), "Sended");
  EXPECT_TRUE(port->Written().empty());
}

TEST_F(DecodeTest, StatusRepliesWriteTheRecordLineAndDisarmTheWatchdog) {
  form->Timer4->SetEnabled(true);
  Receive(Reply('s', 't', '0', '0', '1'));
  EXPECT_FALSE(loop.TimerRunning(*form->Timer4));
  EXPECT_EQ(Lines(form->Memo1), (std::vector<std::string>{"Test_Mode", "_START Key [ UNLOCK ]",
                                                          "_CLEAR Key [ LOCK ]"}));
  form->Timer4->SetEnabled(true);
  Receive(Reply('s', 'x', '0', '0', '0'));
  EXPECT_FALSE(loop.TimerRunning(*form->Timer4));
  EXPECT_EQ(form->Memo1->LineCount(), 3u);
  Receive(Reply('s', 'e', '3', '0', '0'));
  EXPECT_EQ(form->Memo1->LastLine(), "Error...3");
  EXPECT_EQ(RecordFile(), "Rx:116\r\nRx:120\r\nRx:101\r\n");

  // A corrupted status reply leaves the watchdog running.
  form->Timer4->SetEnabled(true);
  protocol::CommandFrame bad = Reply('s', 'r', '0', '0', '0');
  bad[9] = 0;
  Receive(bad);
  EXPECT_TRUE(loop.TimerRunning(*form->Timer4));
}

TEST_F(DecodeTest, ConditionMessagesAreShownInWords) {
  Receive(Reply('E', '9', 0, 0, 0));
  Receive(Reply('E', 'E', 0, 0, 0));
  Receive(Reply('r', 31, 0, 0, 0));
  Receive(Reply('r', 32, 5, 0, 0));
  Receive(Reply('r', 22, 3, 0, 0));
  EXPECT_EQ(Lines(form->Memo1),
            (std::vector<std::string>{"E11 -> Receiving error during commnunication test.",
                                      "-IR Left Dirty Error    0", "-MOTOR Error    3"}));
}

TEST_F(DecodeTest, ARecordFileThatCannotBeWrittenIsToldOnce) {
  // The drive folder is a file: nothing can be created inside it.
  const std::string prefix = std::getenv("RM460_PREFIX");
  std::filesystem::remove_all(prefix + "/drive_d");
  { std::ofstream(prefix + "/drive_d") << "x"; }
  Receive(Reply('s', 'r', '0', '0', '0'));
  Receive(Reply('s', 'r', '0', '0', '0'));
  const auto lines = Lines(form->Memo1);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind("Record file D://RM460_Record.txt cannot be written: ", 0), 0u);
  EXPECT_EQ(lines[1], "Ready...");
  EXPECT_EQ(lines[2], "Ready...");
  std::filesystem::remove(prefix + "/drive_d");
}

}  // namespace
}  // namespace console_test
