#include "app/unit1.h"

#include "app/globals.h"
#include "comm/comm.h"
#include "toolkit/event_loop.h"

namespace app {

using namespace toolkit;

TForm1* Form1 = nullptr;

namespace {

template <typename T>
T* Make(TForm1* form, TControl* parent, const char* name, const std::string& caption = {}) {
  T* c = new T(form, parent, name);
  c->SetCaption(caption);
  return c;
}

TButton* MakeButton(TForm1* form, const char* name, const std::string& caption, bool enabled,
                    bool bold = false) {
  TButton* b = Make<TButton>(form, form, name, caption);
  b->SetEnabled(enabled);
  b->SetFontBold(bold);
  return b;
}

TMemo* MakePane(TForm1* form, const char* name, const char* accessibleName, TColor text) {
  TMemo* m = Make<TMemo>(form, form, name);
  m->SetColor(clBlack);
  m->SetFontColor(text);
  m->SetReadOnly(true);
  m->SetAccessibleName(accessibleName);
  return m;
}

TTimer* MakeTimer(TForm1* form, const char* name, std::uint32_t interval, bool running) {
  TTimer* t = new TTimer(form);
  t->Name = name;
  t->SetEnabled(false);
  t->SetInterval(interval);
  t->SetEnabled(running);
  return t;
}

// The row captions of the test panel, by the field each row holds.
const char* RowCaptionOf(protocol::TestField field) {
  switch (field) {
    case protocol::TestField::Motor:
      return "MOTOR SPEED";
    case protocol::TestField::RIR:
      return "L_IR";
    case protocol::TestField::LIR:
      return "R_IR";
    case protocol::TestField::ENC:
      return "ENC";
    case protocol::TestField::Display:
      return "DISPLAY";
    case protocol::TestField::Counter:
      return "COUNTER";
  }
  return "";
}

}  // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner, "Form1") {
  Form1 = this;
  SetCaption("RM460 v1.8");
  ClientWidth = 1146;
  ClientHeight = 439;
  Left = 285;
  Top = 237;
  MaximizeButton = false;
  SetColor(clBtnFace);
  CreateControls();
  BindHandlers();
  LayOut(*this);
}

TForm1::~TForm1() {
  // The destruction handler runs while every control still exists.
  Destroying();
  if (Form1 == this) Form1 = nullptr;
}

void TForm1::CreateControls() {
  // Left column.
  Add10 = Make<TLabel>(this, this, "Add10", "ID10");
  Edi10th = Make<TEdit>(this, this, "Edi10th", "0");
  Edi10th->SetEnabled(false);
  Edi10th->SetAccessibleName("ID tens digit");
  Label4 = Make<TLabel>(this, this, "Label4", "ID_1");
  Edi1th = Make<TEdit>(this, this, "Edi1th", "0");
  Edi1th->SetAccessibleName("ID units digit");
  Label13 = Make<TLabel>(this, this, "Label13", "Port");
  ComboBox1 = Make<TComboBox>(this, this, "ComboBox1");
  ComboBox1->SetItems({"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7"});
  ComboBox1->SetAccessibleName("Port");
  Label14 = Make<TLabel>(this, this, "Label14", "Baud Rate");
  ComboBox2 = Make<TComboBox>(this, this, "ComboBox2");
  ComboBox2->SetItems({"1200", "2400", "4800", "9600", "19200", "38400"});
  ComboBox2->SetAccessibleName("Baud Rate");
  StartBtn = MakeButton(this, "StartBtn", "Start Protocol", true);
  EndBtn = MakeButton(this, "EndBtn", "End Protocol", false);
  DipBtn = MakeButton(this, "DipBtn", "DIP SWITCH", false, true);

  Panel2 = Make<TPanel>(this, this, "Panel2");
  TLabel** numbers[10] = {&Label1, &Label2, &Label3, &Label5,  &Label6,
                          &Label7, &Label8, &Label9, &Label10, &Label11};
  const char* numberNames[10] = {"Label1", "Label2", "Label3", "Label5",  "Label6",
                                 "Label7", "Label8", "Label9", "Label10", "Label11"};
  TLabel** lamps[10] = {&D1, &D2, &D3, &D4, &D5, &D6, &D7, &D8, &D9, &D10};
  const char* lampNames[10] = {"D1", "D2", "D3", "D4", "D5", "D6", "D7", "D8", "D9", "D10"};
  for (int i = 0; i < 10; ++i) {
    *numbers[i] = Make<TLabel>(this, Panel2, numberNames[i], std::to_string(i + 1));
    *lamps[i] = Make<TLabel>(this, Panel2, lampNames[i]);
    lamps_[static_cast<std::size_t>(i)] = *lamps[i];
    (*lamps[i])->SetColor(clAppWorkSpace);
    (*lamps[i])->SetAccessibleName("DIP " + std::to_string(i + 1));
  }
  Label21 = Make<TLabel>(this, this, "Label21");
  Label21->SetColor(clRed);
  Label22 = Make<TLabel>(this, this, "Label22", "ON");
  Label23 = Make<TLabel>(this, this, "Label23");
  Label23->SetColor(clBlack);
  Label24 = Make<TLabel>(this, this, "Label24", "OFF");

  EdiOutBill = Make<TEdit>(this, this, "EdiOutBill", "1");
  EdiOutBill->SetMaxLength(4);
  EdiOutBill->SetFontScale(3);
  EdiOutBill->SetAccessibleName("Bill count");
  OutBtn = MakeButton(this, "OutBtn", "Out Bill 1~100", false);
  OutBtnStep = MakeButton(this, "OutBtnStep", "Out Bill One", false);
  Exitbtn = MakeButton(this, "Exitbtn", "Exit", true);
  Debug = Make<TCheckBox>(this, this, "Debug", "Debug");
  Memo3 = Make<TMemo>(this, this, "Memo3");
  Memo3->SetVisible(false);
  Memo3->SetAccessibleName("Debug dump");

  Panel1 = Make<TPanel>(this, this, "Panel1");
  Panel1->Bevel = true;
  Panel3 = Make<TPanel>(this, this, "Panel3");
  Panel3->Bevel = true;

  // Middle column.
  CalibBtn = MakeButton(this, "CalibBtn", "Calibration IR", false, true);
  ClearCtBtn = MakeButton(this, "ClearCtBtn", "Clear Count", false);
  ClearBKBtn = MakeButton(this, "ClearBKBtn", "Clear Error", false);
  ClearBKCtBtn = MakeButton(this, "ClearBKCtBtn", "Clear Count and Error", false);
  DisableBtn = MakeButton(this, "DisableBtn", "Key Disable", false, true);
  DisableBtn->SetFontColor(clBlue);
  EnableBtn = MakeButton(this, "EnableBtn", "Key Enable", false, true);
  EnableBtn->SetFontColor(clBlue);
  StatusBtn = MakeButton(this, "StatusBtn", "Status", false);
  ErrBtn = MakeButton(this, "ErrBtn", "Error Record", false, true);
  CrErrBtn = MakeButton(this, "CrErrBtn", "Clear Err Record", false, true);
  BillCountBtn = MakeButton(this, "BillCountBtn", "Total Count", false);
  PowerOutBtn = MakeButton(this, "PowerOutBtn", "Powerful Out Bill", false);
  PwEnable = MakeButton(this, "PwEnable", "Password  Enable", false);
  PwDisable = MakeButton(this, "PwDisable", "Password  Disable", false);
  TestBtn = MakeButton(this, "TestBtn", "All Bill Record", false, true);
  PwBtn = MakeButton(this, "PwBtn", "Get Password", false, true);
  Button2 = MakeButton(this, "Button2", "2 seconds Status - Start", true);

  // Panes.
  Memo1 = MakePane(this, "Memo1", "Results", clLime);
  Memo2 = MakePane(this, "Memo2", "Received traffic", clLime);
  Memo4 = MakePane(this, "Memo4", "All traffic", clWhite);

  // Right column.
  BtnTest = MakeButton(this, "BtnTest", "AUTO TEST", false);
  Panel4 = Make<TPanel>(this, this, "Panel4");
  Label15 = Make<TLabel>(this, Panel4, "Label15", "MOTOR SPEED");
  lblMOTOR = Make<TLabel>(this, Panel4, "lblMOTOR");
  Label16 = Make<TLabel>(this, Panel4, "Label16", "L_IR");
  lblRIR = Make<TLabel>(this, Panel4, "lblRIR");
  Label17 = Make<TLabel>(this, Panel4, "Label17", "R_IR");
  lblLIR = Make<TLabel>(this, Panel4, "lblLIR");
  Label18 = Make<TLabel>(this, Panel4, "Label18", "ENC");
  lblENC = Make<TLabel>(this, Panel4, "lblENC");
  Label19 = Make<TLabel>(this, Panel4, "Label19", "DISPLAY");
  lblDISPLAY = Make<TLabel>(this, Panel4, "lblDISPLAY");
  Label20 = Make<TLabel>(this, Panel4, "Label20", "COUNTER");
  lblCOUNTER = Make<TLabel>(this, Panel4, "lblCOUNTER");
  for (auto field :
       {protocol::TestField::Motor, protocol::TestField::LIR, protocol::TestField::RIR,
        protocol::TestField::ENC, protocol::TestField::Display, protocol::TestField::Counter}) {
    TestValueField(field)->SetColor(clCream);
    TestValueField(field)->SetAccessibleName(RowCaptionOf(field));
  }
  Button1 = MakeButton(this, "Button1", "DIP SWITCH", false);
  Edit1 = Make<TEdit>(this, this, "Edit1", "0");
  Edit1->SetAccessibleName("Pause in milliseconds");
  Label25 = Make<TLabel>(this, this, "Label25", "ms");

  Timer1 = MakeTimer(this, "Timer1", 1000, true);
  Timer2 = MakeTimer(this, "Timer2", 3000, false);
  Timer3 = MakeTimer(this, "Timer3", 2000, false);
  Timer4 = MakeTimer(this, "Timer4", 6000, false);
}

void TForm1::BindHandlers() {
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnDestroy = [this](TObject* s) { FormDestroy(s); };

  auto click = [this](TButton* b, void (TForm1::*handler)(TObject*)) {
    b->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
  };
  click(StartBtn, &TForm1::StartBtnClick);
  click(EndBtn, &TForm1::EndBtnClick);
  click(DipBtn, &TForm1::DipBtnClick);
  click(OutBtn, &TForm1::OutBtnClick);
  click(OutBtnStep, &TForm1::OutBtnStepClick);
  click(Exitbtn, &TForm1::ExitbtnClick);
  click(CalibBtn, &TForm1::CalibBtnClick);
  click(ClearCtBtn, &TForm1::ClearCtBtnClick);
  click(ClearBKBtn, &TForm1::ClearBKBtnClick);
  click(ClearBKCtBtn, &TForm1::ClearBKCtBtnClick);
  click(DisableBtn, &TForm1::DisableBtnClick);
  click(EnableBtn, &TForm1::EnableBtnClick);
  click(StatusBtn, &TForm1::StatusBtnClick);
  click(ErrBtn, &TForm1::ErrBtnClick);
  click(CrErrBtn, &TForm1::CrErrBtnClick);
  click(BillCountBtn, &TForm1::BillCountBtnClick);
  click(PowerOutBtn, &TForm1::PowerOutBtnClick);
  click(PwEnable, &TForm1::PwEnableClick);
  click(PwDisable, &TForm1::PwDisableClick);
  click(TestBtn, &TForm1::TestBtnClick);
  click(PwBtn, &TForm1::PwBtnClick);
  click(Button2, &TForm1::Button2Click);
  click(BtnTest, &TForm1::BtnTestClick);
  click(Button1, &TForm1::Button1Click);

  // The space-bar guard is bound to these 18 buttons; "Out Bill One",
  // "Powerful Out Bill", the password buttons and the two poll toggles are
  // not among them.
  keyDownBound_ = {StartBtn,   EndBtn,     DipBtn,       OutBtn,     Exitbtn,   CalibBtn,
                   ClearCtBtn, ClearBKBtn, ClearBKCtBtn, DisableBtn, EnableBtn, StatusBtn,
                   ErrBtn,     CrErrBtn,   BillCountBtn, TestBtn,    PwBtn,     BtnTest};
  for (TButton* b : keyDownBound_) {
    b->OnKeyDown = [this](TObject* s, std::uint16_t& key, TShiftState shift) {
      ClearBKBtnKeyDown(s, key, shift);
    };
  }

  for (TEdit* e : {EdiOutBill, Edi10th, Edi1th}) {
    e->OnKeyPress = [this](TObject* s, char& key) { EdiOutBillKeyPress(s, key); };
  }
  Debug->OnClick = [this](TObject* s) { DebugClick(s); };
  Memo1->OnClick = [this](TObject* s) { Memo1Click(s); };
  Memo2->OnClick = [this](TObject* s) { Memo2Click(s); };
  Memo3->OnClick = [this](TObject* s) { Memo3Click(s); };
  Memo4->OnClick = [this](TObject* s) { Memo4Click(s); };

  Timer1->OnTimer = [this](TObject* s) { Timer1Timer(s); };
  Timer2->OnTimer = [this](TObject* s) { Timer2Timer(s); };
  Timer3->OnTimer = [this](TObject* s) { Timer3Timer(s); };
  Timer4->OnTimer = [this](TObject* s) { Timer4Timer(s); };
}

TLabel* TForm1::TestValueField(protocol::TestField field) const {
  switch (field) {
    case protocol::TestField::Motor:
      return lblMOTOR;
    case protocol::TestField::LIR:
      return lblLIR;
    case protocol::TestField::RIR:
      return lblRIR;
    case protocol::TestField::ENC:
      return lblENC;
    case protocol::TestField::Display:
      return lblDISPLAY;
    case protocol::TestField::Counter:
      return lblCOUNTER;
  }
  return lblMOTOR;
}

void TForm1::SetLamp(int number, TColor colour) {
  TLabel* lamp = Lamp(number);
  // The live poll repaints every lamp each second, mostly in the colour it
  // has; the name follows the colour, so nothing needs doing then.
  if (lamp->Color() == colour) return;
  lamp->SetColor(colour);
  std::string name = "DIP " + std::to_string(number);
  if (colour == clRed) name += " ON";
  if (colour == clBlack) name += " OFF";
  lamp->SetAccessibleName(name);
}

void TForm1::SetTestValue(protocol::TestField field, const std::string& text) {
  TLabel* label = TestValueField(field);
  label->SetCaption(text);
  const std::string row = RowCaptionOf(field);
  label->SetAccessibleName(text.empty() ? row : row + ": " + text);
}

void TForm1::FormCreate(TObject*) {
  AutoScroll = true;
  ComboBox1->SetItemIndex(0);
  ComboBox2->SetItemIndex(3);
}

void TForm1::FormDestroy(TObject*) {
  LogFile.Close();
}

void TForm1::ExitbtnClick(TObject*) {
  if (ConsumeSpaceKeyLatch()) return;
  Close();
}

void TForm1::DebugClick(TObject*) {
  Memo3->SetVisible(Debug->Checked());
}

void TForm1::Memo1Click(TObject*) {
  Memo1->Clear();
}
void TForm1::Memo2Click(TObject*) {
  Memo2->Clear();
}
void TForm1::Memo3Click(TObject*) {
  Memo3->Clear();
}
void TForm1::Memo4Click(TObject*) {
  Memo4->Clear();
}

void TForm1::EdiOutBillKeyPress(TObject*, char& Key) {
  const bool digit = Key >= '0' && Key <= '9';
  const bool backspace = Key == static_cast<char>(VK_BACK);
  if (!digit && !backspace) Key = 0;
}

void TForm1::ClearBKBtnKeyDown(TObject*, std::uint16_t& Key, TShiftState) {
  SpaceKeyLatch = Key == VK_SPACE;
}

bool TForm1::ConsumeSpaceKeyLatch() {
  if (!SpaceKeyLatch) return false;
  SpaceKeyLatch = false;
  return true;
}

void TForm1::SetStartedState() {
  SetProtocolControls(true);
}

void TForm1::SetEndedState() {
  SetProtocolControls(false);
}

void TForm1::SetProtocolControls(bool started) {
  StartBtn->SetEnabled(!started);
  EndBtn->SetEnabled(started);
  ComboBox1->SetEnabled(!started);
  ComboBox2->SetEnabled(!started);
  for (TButton* b :
       {ClearCtBtn, ClearBKBtn,   ClearBKCtBtn, DisableBtn,  EnableBtn, StatusBtn, ErrBtn,
        CrErrBtn,   BillCountBtn, OutBtn,       OutBtnStep,  TestBtn,   CalibBtn,  PwBtn,
        DipBtn,     BtnTest,      Button1,      PowerOutBtn, PwEnable,  PwDisable}) {
    b->SetEnabled(started);
  }
}

}  // namespace app
