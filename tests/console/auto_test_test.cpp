// "AUTO TEST": six steps through the decoder, the red "ERROR", and a chain
// that ends when a step is not answered.
#include "tests/console/console_fixture.h"

namespace console_test {
namespace {

class AutoTestTest : public ConsoleTest {
 protected:
  // A dispenser with the given ID that answers every step; values by step.
  void Answer(std::uint8_t id1, std::array<int, 6> values, int unansweredStep = -1) {
    device.SetScript(
        [=](platform::SimulatedPort& p, const protocol::CommandFrame& f, std::uint64_t t) {
          if (f[3] < '0' || f[3] > '5' || f[2] != id1) return;
          const int step = f[3] - '0';
          if (step == unansweredStep) return;
          const int v = values[static_cast<std::size_t>(step)];
          p.Deliver(Bytes(Reply(static_cast<char>(f[3]), 0, 0, static_cast<std::uint8_t>(v >> 8),
                                static_cast<std::uint8_t>(v & 0xFF), '0', id1)),
                    t + 30);
        });
  }
  std::vector<char> StepsSent() const {
    std::vector<char> steps;
    for (const auto& f : device.Frames()) {
      if (f[3] >= '0' && f[3] <= '5') steps.push_back(static_cast<char>(f[3]));
    }
    return steps;
  }
  std::vector<std::string> Fields() const {
    return {form->lblMOTOR->Caption(), form->lblRIR->Caption(),     form->lblLIR->Caption(),
            form->lblENC->Caption(),   form->lblDISPLAY->Caption(), form->lblCOUNTER->Caption()};
  }
};

TEST_F(AutoTestTest, ADispenserThatAnswersEveryStepFillsEveryField) {
  Start();
  Answer('0', {1480, 398, 402, 1, 0, 0});
  form->BtnTest->Click();
  loop.RunFor(2000);
  EXPECT_EQ(StepsSent(), (std::vector<char>{'0', '1', '2', '3', '4', '5'}));
  // lblRIR (row "L_IR") gets step '2', lblLIR (row "R_IR") step '1'.
  EXPECT_EQ(Fields(), (std::vector<std::string>{"1480", "402", "398", "OK", "Sended", "Sended"}));
  EXPECT_EQ(form->lblRIR->AccessibleName(), "L_IR: 402");
}

TEST_F(AutoTestTest, AMotorErrorStaysRedAndTheChainGoesOn) {
  Start();
  Answer('0', {0, 1, 1, 0, 0, 0});
  form->BtnTest->Click();
  loop.RunFor(2000);
  EXPECT_EQ(Fields(), (std::vector<std::string>{"ERROR", "1", "1", "ERROR", "Sended", "Sended"}));
  EXPECT_EQ(form->lblMOTOR->FontColor(), toolkit::clRed);
  EXPECT_EQ(form->lblENC->FontColor(), toolkit::clRed);

  Answer('0', {1500, 1, 1, 1, 0, 0});
  form->BtnTest->Click();
  // The click clears the fields right after sending step '0'.
  EXPECT_EQ(Fields(), (std::vector<std::string>(6, "")));
  loop.RunFor(2000);
  EXPECT_EQ(form->lblMOTOR->Caption(), "1500");
  EXPECT_EQ(form->lblMOTOR->FontColor(), toolkit::clRed);
}

TEST_F(AutoTestTest, AStepThatIsNeverAnsweredEndsTheChain) {
  Start();
  Answer('0', {1480, 398, 402, 1, 0, 0}, 3);
  form->BtnTest->Click();
  loop.RunFor(5000);
  EXPECT_EQ(StepsSent(), (std::vector<char>{'0', '1', '2', '3'}));
  EXPECT_EQ(Fields(), (std::vector<std::string>{"1480", "402", "398", "", "", ""}));
}

TEST_F(AutoTestTest, TheIdOfTheFieldsIsCarriedThroughEveryStep) {
  Start();
  form->Edi1th->SetText("7");
  Answer('7', {1480, 398, 402, 1, 0, 0});
  form->BtnTest->Click();
  loop.RunFor(2000);
  std::vector<char> ids;
  for (const auto& f : device.Frames()) {
    if (f[3] >= '0' && f[3] <= '5') ids.push_back(static_cast<char>(f[2]));
  }
  EXPECT_EQ(ids, std::vector<char>(6, '7'));
  EXPECT_EQ(form->lblCOUNTER->Caption(), "Sended");
}

TEST_F(AutoTestTest, WithNoDispenserOnlyTheFirstStepGoesOut) {
  port->SetOpenFailure(platform::ERROR_FILE_NOT_FOUND);
  Start();
  form->lblMOTOR->SetCaption("old");
  form->BtnTest->Click();
  loop.RunFor(2000);
  EXPECT_EQ(Fields(), (std::vector<std::string>(6, "")));
  EXPECT_EQ(form->Memo4->LastLine(), "Tx : 02 30 30 30 30 30 30 30 52 03 ");
}

}  // namespace
}  // namespace console_test
