// The main window: its initial state, the protocol control tables, the digit
// filter, the space-bar latch, the panes and Exit.
#include "tests/console/console_fixture.h"

namespace console_test {
namespace {

using toolkit::clAppWorkSpace;
using toolkit::clBlack;
using toolkit::clCream;
using toolkit::clLime;
using toolkit::clWhite;

struct ButtonState {
  toolkit::TButton* app::TForm1::*button;
  const char* caption;
  bool enabledAtStart;  // also the ended state
  bool enabledStarted;
};

const ButtonState kButtons[] = {
    {&app::TForm1::StartBtn, "Start Protocol", true, false},
    {&app::TForm1::EndBtn, "End Protocol", false, true},
    {&app::TForm1::DipBtn, "DIP SWITCH", false, true},
    {&app::TForm1::OutBtn, "Out Bill 1~100", false, true},
    {&app::TForm1::OutBtnStep, "Out Bill One", false, true},
    {&app::TForm1::Exitbtn, "Exit", true, true},
    {&app::TForm1::CalibBtn, "Calibration IR", false, true},
    {&app::TForm1::ClearCtBtn, "Clear Count", false, true},
    {&app::TForm1::ClearBKBtn, "Clear Error", false, true},
    {&app::TForm1::ClearBKCtBtn, "Clear Count and Error", false, true},
    {&app::TForm1::DisableBtn, "Key Disable", false, true},
    {&app::TForm1::EnableBtn, "Key Enable", false, true},
    {&app::TForm1::StatusBtn, "Status", false, true},
    {&app::TForm1::ErrBtn, "Error Record", false, true},
    {&app::TForm1::CrErrBtn, "Clear Err Record", false, true},
    {&app::TForm1::BillCountBtn, "Total Count", false, true},
    {&app::TForm1::PowerOutBtn, "Powerful Out Bill", false, true},
    {&app::TForm1::PwEnable, "Password  Enable", false, true},
    {&app::TForm1::PwDisable, "Password  Disable", false, true},
    {&app::TForm1::TestBtn, "All Bill Record", false, true},
    {&app::TForm1::PwBtn, "Get Password", false, true},
    {&app::TForm1::Button2, "2 seconds Status - Start", true, true},
    {&app::TForm1::BtnTest, "AUTO TEST", false, true},
    {&app::TForm1::Button1, "DIP SWITCH", false, true},
};

using WindowTest = ConsoleTest;

TEST_F(WindowTest, OpensInTheEndedStateWithItsDefaults) {
  EXPECT_EQ(form->Caption(), "RM460 v1.8");
  EXPECT_EQ(form->ClientWidth, 1146);
  EXPECT_EQ(form->ClientHeight, 439);
  EXPECT_FALSE(form->MaximizeButton);
  EXPECT_TRUE(form->AutoScroll);
  for (const ButtonState& b : kButtons) {
    SCOPED_TRACE(b.caption);
    EXPECT_EQ((form.get()->*b.button)->Caption(), b.caption);
    EXPECT_EQ((form.get()->*b.button)->Enabled(), b.enabledAtStart);
  }
  EXPECT_EQ(form->ComboBox1->ItemIndex(), 0);
  EXPECT_EQ(form->ComboBox1->Text(), "COM1");
  EXPECT_EQ(form->ComboBox1->Items().size(), 7u);
  EXPECT_EQ(form->ComboBox2->ItemIndex(), 3);
  EXPECT_EQ(form->ComboBox2->Text(), "9600");
  EXPECT_FALSE(form->Edi10th->Enabled());
  EXPECT_EQ(form->Edi10th->Text(), "0");
  EXPECT_EQ(form->Edi1th->Text(), "0");
  EXPECT_EQ(form->EdiOutBill->Text(), "1");
  EXPECT_EQ(form->EdiOutBill->MaxLength(), 4);
  EXPECT_EQ(form->Edit1->Text(), "0");
  EXPECT_FALSE(form->Debug->Checked());
  EXPECT_FALSE(form->Memo3->Visible());
  for (int n = 1; n <= 10; ++n) EXPECT_EQ(form->Lamp(n)->Color(), clAppWorkSpace);
  EXPECT_EQ(form->Label21->Color(), toolkit::clRed);
  EXPECT_EQ(form->Label22->Caption(), "ON");
  EXPECT_EQ(form->Label23->Color(), clBlack);
  EXPECT_EQ(form->Label24->Caption(), "OFF");

  for (toolkit::TMemo* pane : {form->Memo1, form->Memo2, form->Memo4}) {
    EXPECT_EQ(pane->Color(), clBlack);
    EXPECT_TRUE(pane->ReadOnly());
  }
  EXPECT_EQ(form->Memo1->FontColor(), clLime);
  EXPECT_EQ(form->Memo2->FontColor(), clLime);
  EXPECT_EQ(form->Memo4->FontColor(), clWhite);
  EXPECT_FALSE(form->Memo3->ReadOnly());

  // The row captioned "L_IR" holds lblRIR, the row "R_IR" lblLIR.
  EXPECT_EQ(form->Label16->Caption(), "L_IR");
  EXPECT_EQ(form->lblRIR->AccessibleName(), "L_IR");
  EXPECT_EQ(form->Label17->Caption(), "R_IR");
  EXPECT_EQ(form->lblLIR->AccessibleName(), "R_IR");
  EXPECT_EQ(form->lblMOTOR->Color(), clCream);

  EXPECT_TRUE(loop.TimerRunning(*form->Timer1));
  EXPECT_EQ(form->Timer1->Interval(), 1000u);
  for (auto [timer, interval] :
       {std::pair{form->Timer2, 3000u}, {form->Timer3, 2000u}, {form->Timer4, 6000u}}) {
    EXPECT_FALSE(loop.TimerRunning(*timer));
    EXPECT_EQ(timer->Interval(), interval);
  }
}

TEST_F(WindowTest, StartedAndEndedControlTables) {
  form->SetStartedState();
  for (const ButtonState& b : kButtons) {
    SCOPED_TRACE(b.caption);
    EXPECT_EQ((form.get()->*b.button)->Enabled(), b.enabledStarted);
  }
  EXPECT_FALSE(form->ComboBox1->Enabled());
  EXPECT_FALSE(form->ComboBox2->Enabled());
  EXPECT_FALSE(form->Edi10th->Enabled());
  EXPECT_TRUE(form->Edi1th->Enabled());
  form->SetEndedState();
  for (const ButtonState& b : kButtons) {
    SCOPED_TRACE(b.caption);
    EXPECT_EQ((form.get()->*b.button)->Enabled(), b.enabledAtStart);
  }
  EXPECT_TRUE(form->ComboBox1->Enabled());
}

TEST_F(WindowTest, DigitFilterPassesDigitsAndBackspaceOnly) {
  form->EdiOutBill->SetText("");
  for (char c : std::string("12a4")) form->EdiOutBill->TypeChar(c);
  EXPECT_EQ(form->EdiOutBill->Text(), "124");
  form->EdiOutBill->TypeChar('5');
  form->EdiOutBill->TypeChar('6');  // refused by the 4-character limit
  EXPECT_EQ(form->EdiOutBill->Text(), "1245");
  form->EdiOutBill->TypeChar('\b');
  EXPECT_EQ(form->EdiOutBill->Text(), "124");

  for (char c : {'\r', ' ', '-', '+', 'Z', '\x16', '\x03', static_cast<char>(0x80),
                 static_cast<char>(0xFF)}) {
    form->Edi1th->SetText("");
    form->Edi1th->TypeChar(c);
    EXPECT_EQ(form->Edi1th->Text(), "") << static_cast<int>(c);
  }
  // Pasted text is not filtered; Edit1 has no filter at all.
  form->Edi1th->Paste("x");
  EXPECT_EQ(form->Edi1th->Text(), "x");
  form->Edit1->SetText("");
  form->Edit1->TypeChar('a');
  EXPECT_EQ(form->Edit1->Text(), "a");
}

TEST_F(WindowTest, SpaceKeyLatchIsSetByEveryBoundButtonOnly) {
  EXPECT_EQ(form->KeyDownBoundButtons().size(), 18u);
  for (toolkit::TButton* b : form->KeyDownBoundButtons()) {
    b->SetEnabled(true);
    app::SpaceKeyLatch = false;
    b->KeyDown(toolkit::VK_SPACE, toolkit::ssShift | toolkit::ssCtrl);
    EXPECT_TRUE(app::SpaceKeyLatch) << b->Name;
    b->KeyDown('A');
    EXPECT_FALSE(app::SpaceKeyLatch) << b->Name;
  }
  for (toolkit::TButton* b : {form->OutBtnStep, form->PowerOutBtn, form->PwEnable, form->PwDisable,
                              form->Button1, form->Button2}) {
    b->SetEnabled(true);
    b->KeyDown(toolkit::VK_SPACE);
    EXPECT_FALSE(app::SpaceKeyLatch) << b->Name;
  }
}

TEST_F(WindowTest, ExitWithALatchSetNeedsTwoClicks) {
  app::SpaceKeyLatch = true;
  form->Exitbtn->Click();
  EXPECT_FALSE(app::SpaceKeyLatch);
  EXPECT_FALSE(loop.Terminated());
  form->Exitbtn->Click();
  EXPECT_TRUE(loop.Terminated());
  EXPECT_TRUE(form->Closed());
}

TEST_F(WindowTest, PaneClickClearsThatPaneOnlyAndDebugShowsTheDump) {
  for (toolkit::TMemo* pane : {form->Memo1, form->Memo2, form->Memo3, form->Memo4}) {
    pane->Append("line");
  }
  form->Memo2->Click();
  EXPECT_EQ(form->Memo1->LineCount(), 1u);
  EXPECT_EQ(form->Memo2->LineCount(), 0u);
  EXPECT_EQ(form->Memo3->LineCount(), 1u);
  EXPECT_EQ(form->Memo4->LineCount(), 1u);

  form->Debug->Click();
  EXPECT_TRUE(form->Memo3->Visible());
  form->Debug->Click();
  EXPECT_FALSE(form->Memo3->Visible());
  EXPECT_EQ(form->Memo3->LineCount(), 1u);  // hidden, not cleared
}

}  // namespace
}  // namespace console_test
