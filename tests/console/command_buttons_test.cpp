// The command buttons: the frame each one puts on the wire, what it does to
// PendingCommand, the Out Bill count rule and the space-bar guard.
#include "tests/console/console_fixture.h"

namespace console_test {
namespace {

constexpr std::uint32_t kUntouched = 77;

struct ButtonCase {
  toolkit::TButton* app::TForm1::*button;
  const char* frame;
  std::uint32_t pendingAfter;
};

const ButtonCase kCases[] = {
    {&app::TForm1::StatusBtn, "02 30 30 53 30 30 30 30 75 03 ", kUntouched},
    {&app::TForm1::OutBtn, "02 30 30 42 30 30 30 31 65 03 ", 0},
    {&app::TForm1::PowerOutBtn, "02 30 30 36 30 30 30 30 58 03 ", kUntouched},
    {&app::TForm1::BillCountBtn, "02 30 30 43 30 30 30 30 65 03 ", kUntouched},
    {&app::TForm1::TestBtn, "02 30 30 54 30 30 30 30 76 03 ", kUntouched},
    {&app::TForm1::ClearCtBtn, "02 30 30 49 30 30 30 31 6C 03 ", 1},
    {&app::TForm1::ClearBKBtn, "02 30 30 49 30 30 30 32 6D 03 ", 2},
    {&app::TForm1::ClearBKCtBtn, "02 30 30 49 30 30 30 33 6E 03 ", 3},
    {&app::TForm1::DisableBtn, "02 30 30 4B 31 30 31 30 6F 03 ", 4},
    {&app::TForm1::EnableBtn, "02 30 30 4B 30 30 30 30 6D 03 ", 5},
    {&app::TForm1::ErrBtn, "02 30 30 52 30 30 30 30 74 03 ", kUntouched},
    {&app::TForm1::CrErrBtn, "02 30 30 55 30 30 30 30 77 03 ", 6},
    {&app::TForm1::CalibBtn, "02 30 30 41 30 30 30 30 63 03 ", 7},
    {&app::TForm1::PwBtn, "02 30 30 50 30 30 30 30 72 03 ", kUntouched},
    {&app::TForm1::PwEnable, "02 30 30 37 31 30 30 30 5A 03 ", 8},
    {&app::TForm1::PwDisable, "02 30 30 37 30 30 30 30 59 03 ", 9},
    {&app::TForm1::DipBtn, "02 30 30 44 30 30 30 30 66 03 ", kUntouched},
    {&app::TForm1::BtnTest, "02 30 30 30 30 30 30 30 52 03 ", kUntouched},
    {&app::TForm1::OutBtnStep, "02 30 30 42 30 30 30 31 65 03 ", 10},
    {&app::TForm1::Button1, "02 30 30 58 30 30 30 30 7A 03 ", kUntouched},
};

class CommandButtonsTest : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    Start();
    port->ClearWritten();
  }

  // The frames written since the last call, as hex lines.
  std::vector<std::string> TakeWritten() {
    std::vector<std::string> frames;
    const auto& w = port->Written();
    for (std::size_t i = 0; i + protocol::FrameSize <= w.size(); i += protocol::FrameSize) {
      frames.push_back(protocol::HexLine(&w[i], protocol::FrameSize));
    }
    port->ClearWritten();
    return frames;
  }
};

TEST_F(CommandButtonsTest, EveryButtonSendsItsFrameAndSetsPendingCommand) {
  for (const ButtonCase& c : kCases) {
    toolkit::TButton* button = form.get()->*c.button;
    SCOPED_TRACE(button->Caption());
    app::PendingCommand = kUntouched;
    button->Click();
    EXPECT_EQ(TakeWritten(), std::vector<std::string>{c.frame});
    EXPECT_EQ(app::PendingCommand, c.pendingAfter);
    if (button == form->Button1) button->Click();  // stop the live poll again
  }
}

TEST_F(CommandButtonsTest, FramesFollowTheIdFieldsAsTheyAreNow) {
  form->Edi1th->SetText("7");
  form->StatusBtn->Click();
  form->Edi1th->SetText("");
  form->StatusBtn->Click();
  form->Edi1th->SetText("12");
  form->StatusBtn->Click();
  form->Edi1th->SetText("5");
  form->Button1->Click();  // the live poll always goes to "00"
  EXPECT_EQ(TakeWritten(), (std::vector<std::string>{
                               "02 30 37 53 30 30 30 30 7C 03 ",
                               "02 30 00 53 30 30 30 30 45 03 ",
                               "02 30 31 53 30 30 30 30 76 03 ",
                               "02 30 30 58 30 30 30 30 7A 03 ",
                           }));
}

TEST_F(CommandButtonsTest, OutBillCountRule) {
  struct {
    const char* text;
    const char* id1;
    const char* frame;  // nullptr: nothing is sent
  } cases[] = {
      {"5", "0", "02 30 30 42 30 30 30 35 69 03 "},
      {"12", "0", "02 30 30 42 30 30 31 32 67 03 "},
      {"1234", "0", "02 30 30 42 30 31 32 33 6A 03 "},
      {"0012", "0", "02 30 30 42 30 30 30 31 65 03 "},
      {"999", "9", "02 30 39 42 30 39 39 39 88 03 "},
      {"0000", "0", nullptr},
      {"0", "0", nullptr},
      {"", "0", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    form->EdiOutBill->SetText(c.text);
    form->Edi1th->SetText(c.id1);
    app::PendingCommand = kUntouched;
    form->OutBtn->Click();
    if (c.frame != nullptr) {
      EXPECT_EQ(TakeWritten(), std::vector<std::string>{c.frame});
      EXPECT_EQ(app::PendingCommand, 0u);
    } else {
      EXPECT_TRUE(TakeWritten().empty());
      EXPECT_EQ(app::PendingCommand, kUntouched);
    }
  }
  EXPECT_TRUE(form->Memo1->Lines().empty());
  EXPECT_TRUE(loop.Errors().empty());
}

TEST_F(CommandButtonsTest, OutBillWithATextThatIsNoNumberShowsTheConversionError) {
  form->EdiOutBill->Paste("x");  // "1x": pasting is not filtered
  app::PendingCommand = kUntouched;
  loop.PostNow([&] { form->OutBtn->Click(); });
  loop.RunFor(1);
  EXPECT_EQ(loop.Errors(), std::vector<std::string>{"'1x' is not a valid integer value"});
  EXPECT_TRUE(TakeWritten().empty());
  EXPECT_EQ(app::PendingCommand, kUntouched);
}

TEST_F(CommandButtonsTest, SpaceOnAButtonSwallowsTheNextGuardedClickAnywhere) {
  // Space on "Status" then its click: nothing; a mouse click sends.
  form->StatusBtn->KeyDown(toolkit::VK_SPACE);
  form->StatusBtn->Click();
  EXPECT_TRUE(TakeWritten().empty());
  EXPECT_FALSE(app::SpaceKeyLatch);
  form->StatusBtn->Click();
  EXPECT_EQ(TakeWritten().size(), 1u);

  // A latch left by "Clear Count" swallows "Powerful Out Bill" once.
  app::PendingCommand = kUntouched;
  form->ClearCtBtn->KeyDown(toolkit::VK_SPACE);
  form->PowerOutBtn->Click();
  EXPECT_TRUE(TakeWritten().empty());
  form->PowerOutBtn->Click();
  EXPECT_EQ(TakeWritten(), std::vector<std::string>{"02 30 30 36 30 30 30 30 58 03 "});
  EXPECT_EQ(app::PendingCommand, kUntouched);

  // Space on "Out Bill One" itself sends: it is not bound to the guard.
  form->OutBtnStep->KeyDown(toolkit::VK_SPACE);
  form->OutBtnStep->Click();
  EXPECT_EQ(TakeWritten().size(), 1u);

  // "Password  Enable" swallowed still sets PendingCommand, so the next ACK
  // reads as its confirmation.
  form->StatusBtn->KeyDown(toolkit::VK_SPACE);
  form->PwEnable->Click();
  EXPECT_TRUE(TakeWritten().empty());
  EXPECT_EQ(app::PendingCommand, 8u);
  port->Deliver(std::vector<platform::BYTE>{protocol::ACK}, loop.NowMs());
  loop.RunFor(20);
  EXPECT_EQ(form->Memo1->LastLine(), ">> Password Enable...OK");

  // Another key clears the latch.
  form->StatusBtn->KeyDown(toolkit::VK_SPACE);
  form->StatusBtn->KeyDown(toolkit::VK_RETURN);
  form->StatusBtn->Click();
  EXPECT_EQ(TakeWritten().size(), 1u);
}

}  // namespace
}  // namespace console_test
