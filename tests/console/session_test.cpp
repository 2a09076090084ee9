// A whole session against the simulator's device model on COM1: what the
// operator sees in the result pane, line by line, for each command and
// procedure, in virtual time.
#include "platform/date_format.h"
#include "sim/port_device.h"
#include "tests/console/console_fixture.h"

namespace console_test {
namespace {

using MemoLines = std::vector<std::string>;

class SessionTest : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    port->Attach(&dispenser);
  }

  // One operator action and the time it takes to be answered; returns the
  // lines it added to Memo1.
  MemoLines Do(toolkit::TButton* button, std::uint64_t ms) {
    form->Memo1->Clear();
    loop.PostNow([button] { button->Click(); });
    loop.RunFor(ms);
    return Lines(form->Memo1);
  }

  std::vector<std::string> RecordLines() const {
    const std::string file = testing_support::ReadFile(prefix.path() + "/drive_d/RM460_Record.txt");
    std::vector<std::string> lines;
    for (std::size_t at = 0, next; (next = file.find("\r\n", at)) != std::string::npos;
         at = next + 2) {
      lines.push_back(file.substr(at, next - at));
    }
    return lines;
  }

  static constexpr const char* kWatchdogLine = "xxxxxxxxxxxxxxxxxxxxxx";
  sim::PortDevice dispenser;
};

TEST_F(SessionTest, AWholeSessionShowsExactlyWhatTheDispenserReports) {
  Start();
  EXPECT_EQ(Lines(form->Memo1), MemoLines{"Ready..."});
  // The version reply that follows the first status names the firmware.
  EXPECT_EQ(form->Caption(), "RM460 1.80");

  form->EdiOutBill->SetText("5");
  EXPECT_EQ(Do(form->OutBtn, 2000), (MemoLines{"Out Bill ...OK", ">> OutBill = 5"}));
  EXPECT_EQ(Do(form->BillCountBtn, 200), MemoLines{">> Total Count = 5"});

  // Twelve entries, one line each, in code order.
  EXPECT_EQ(Do(form->ErrBtn, 1000), (MemoLines{
                                        "-Double Bill    0",
                                        "-Over 9999    0",
                                        "-MOTOR Error    0",
                                        "-IR_LEFT START Error    0",
                                        "-IR_RIGHT START Error    0",
                                        "-IR_LEFT Calibration Error    0",
                                        "-IR_RIGHT Calibration Error    0",
                                        "-IR Working Error    0",
                                        "-Calibreation IR Error    0",
                                        "-IR Left & Right different more than 20 Error    0",
                                        "-IR Right Dirty Error    0",
                                        "-IR Left Dirty Error    0",
                                    }));

  form->EdiOutBill->SetText("3");
  form->Edit1->SetText("200");
  EXPECT_EQ(Do(form->OutBtnStep, 3000),
            (MemoLines{"Out Bill...OK", "2", "Out Bill...OK", "1", "Out Bill...OK"}));
  EXPECT_EQ(app::BillsRemaining, 0);
  EXPECT_TRUE(loop.MessageBoxes().empty());
  EXPECT_EQ(Do(form->BillCountBtn, 200), MemoLines{">> Total Count = 8"});
  EXPECT_EQ(dispenser.model().state().stack, 492);

  // The status poll for 30 seconds: a tick line and the device's answer in
  // the record file every two seconds, and the watchdog never fires.
  const std::size_t recordBefore = RecordLines().size();
  form->Button2->Click();
  for (int tick = 1; tick <= 15; ++tick) {
    loop.RunFor(2000);
    for (const auto& line : form->Memo4->Lines()) ASSERT_NE(line, kWatchdogLine) << tick;
  }
  loop.RunFor(100);  // the last tick's answer
  EXPECT_TRUE(loop.TimerRunning(*form->Timer3));
  EXPECT_FALSE(loop.TimerRunning(*form->Timer4));
  form->Button2->Click();
  const auto record = RecordLines();
  ASSERT_EQ(record.size(), recordBefore + 30);
  EXPECT_EQ(record.front(), "Rx:114");  // the start's own status
  for (std::size_t i = recordBefore; i < record.size(); i += 2) {
    EXPECT_NE(record[i].find(platform::TimeSeparator()), std::string::npos) << record[i];
    EXPECT_EQ(record[i + 1], "Rx:114");
  }
  // The panes were cleared at the eleventh tick, before its answer came.
  EXPECT_EQ(Lines(form->Memo1), MemoLines(5, "Ready..."));

  EXPECT_EQ(Do(form->BtnTest, 2000), MemoLines{});
  EXPECT_EQ(form->lblMOTOR->Caption(), "1480");
  EXPECT_EQ(form->lblLIR->Caption(), "512");  // step '1', the right IR
  EXPECT_EQ(form->lblRIR->Caption(), "498");  // step '2', the left IR
  EXPECT_EQ(form->lblENC->Caption(), "OK");
  EXPECT_EQ(form->lblDISPLAY->Caption(), "Sended");
  EXPECT_EQ(form->lblCOUNTER->Caption(), "Sended");
  EXPECT_EQ(form->lblMOTOR->FontColor(), form->lblENC->FontColor());
  EXPECT_NE(form->lblMOTOR->FontColor(), toolkit::clRed);

  EXPECT_TRUE(loop.Errors().empty());
}

TEST_F(SessionTest, AJamStopsTheDispenseWithItsTextAndAShortCount) {
  sim::Faults faults;
  faults.jamAfterBills = 2;
  dispenser.model().SetFaults(faults);
  Start();
  form->EdiOutBill->SetText("5");
  EXPECT_EQ(Do(form->OutBtn, 2000),
            (MemoLines{"Out Bill ...OK", "Jam 1 or Jam 2",
                       ">> OutBill = 2;   -3  bills during being dispensed"}));
  // The error stands until it is cleared, and the record counts it.
  EXPECT_EQ(Do(form->StatusBtn, 200), MemoLines{"Error...2"});
  EXPECT_EQ(Do(form->ErrBtn, 1000)[2], "-MOTOR Error    1");
  EXPECT_EQ(Do(form->ClearBKBtn, 200), MemoLines{">> Clear Error message...OK"});
  EXPECT_EQ(Do(form->StatusBtn, 200), MemoLines{"Ready..."});
}

TEST_F(SessionTest, AJamDuringSingleBillSteppingStopsTheRun) {
  sim::Faults faults;
  faults.jamAfterBills = 1;
  dispenser.model().SetFaults(faults);
  Start();
  form->EdiOutBill->SetText("3");
  EXPECT_EQ(Do(form->OutBtnStep, 4000),
            (MemoLines{"Out Bill...OK", "2", "Out Bill...OK", "Jam 1 or Jam 2",
                       "-2 bills during being dispensed"}));
  EXPECT_EQ(app::BillsRemaining, 2);
  EXPECT_FALSE(loop.TimerRunning(*form->Timer2));
  EXPECT_TRUE(loop.MessageBoxes().empty());
}

// DIP bits and record counts go out as they are, so 0x06 and 0x0A turn up
// inside frames; they are frame data, never an ACK or a failure byte.
TEST_F(SessionTest, DataBytesThatLookLikeAckOrFailureAreFrameData) {
  auto& state = dispenser.model().state();
  // Switches 7 and 9 off, the rest on: the B5 byte is 0x0A.
  state.dipOn.fill(true);
  state.dipOn[6] = false;
  state.dipOn[8] = false;
  state.errorRecord[0] = 6;
  state.errorRecord[1] = 10;
  // Digit values as bytes: 6, 2 (STX) and 3 (ETX) inside the two replies.
  state.billRecord = 623106;
  Start();

  EXPECT_EQ(Do(form->DipBtn, 200), MemoLines{});
  for (int n = 1; n <= 10; ++n) {
    EXPECT_EQ(form->Lamp(n)->Color(), n == 7 || n == 9 ? toolkit::clBlack : toolkit::clRed) << n;
  }
  const MemoLines record = Do(form->ErrBtn, 1000);
  ASSERT_EQ(record.size(), 12u);
  EXPECT_EQ(record[0], "-Double Bill    6");
  EXPECT_EQ(record[1], "-Over 9999    10");
  EXPECT_EQ(form->Memo2->LastLine(), "Rx : 02 30 30 72 1F 00 30 30 53 03 ");
  EXPECT_EQ(Do(form->TestBtn, 200), MemoLines{">> Test Count = 623106"});
}

// Without the device's gap between frames, the twelve record entries (and
// the two halves of the bill record) come in one read; each is shown.
TEST_F(SessionTest, AnswersThatArriveInOneReadAreAllShown) {
  dispenser.model().timing().frameGapMs = 0;
  dispenser.model().state().billRecord = 1234;
  Start();
  EXPECT_EQ(form->Caption(), "RM460 1.80");
  const MemoLines record = Do(form->ErrBtn, 200);
  ASSERT_EQ(record.size(), 12u);
  EXPECT_EQ(record.front(), "-Double Bill    0");
  EXPECT_EQ(record.back(), "-IR Left Dirty Error    0");
  EXPECT_EQ(Do(form->TestBtn, 200), MemoLines{">> Test Count = 1234"});
}

TEST_F(SessionTest, EveryStartOfTheProtocolShowsTheVersionAgain) {
  Start();
  form->EndBtn->Click();
  EXPECT_EQ(form->Caption(), "");
  loop.RunFor(1000);
  Start();
  EXPECT_EQ(Lines(form->Memo1), MemoLines{"Ready..."});
  EXPECT_EQ(form->Caption(), "RM460 1.80");
}

}  // namespace
}  // namespace console_test
