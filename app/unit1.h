// The console's main window: every control under its design name, the four
// timers, and the handlers. Handlers of each subsystem are defined in the
// folder of that subsystem (protocol/, procedures/); this unit holds the
// window itself, program start and the start and end of the protocol.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>

#include "protocol/command_table.h"
#include "protocol/frame.h"
#include "protocol/reply_decoder.h"
#include "toolkit/form.h"
#include "toolkit/memo.h"
#include "toolkit/std_controls.h"
#include "toolkit/timer.h"

namespace app {

using toolkit::TButton;
using toolkit::TCheckBox;
using toolkit::TColor;
using toolkit::TComboBox;
using toolkit::TComponent;
using toolkit::TEdit;
using toolkit::TLabel;
using toolkit::TMemo;
using toolkit::TObject;
using toolkit::TPanel;
using toolkit::TShiftState;
using toolkit::TTimer;

class TForm1 : public toolkit::TForm {
 public:
  explicit TForm1(TComponent* AOwner);
  ~TForm1() override;

  // --- left column ---
  TLabel* Add10;
  TEdit* Edi10th;
  TLabel* Label4;
  TEdit* Edi1th;
  TLabel* Label13;
  TComboBox* ComboBox1;
  TLabel* Label14;
  TComboBox* ComboBox2;
  TButton* StartBtn;
  TButton* EndBtn;
  TButton* DipBtn;
  TPanel* Panel2;
  // The DIP row's numbers "1" … "10".
  TLabel *Label1, *Label2, *Label3, *Label5, *Label6, *Label7, *Label8, *Label9, *Label10, *Label11;
  // The DIP lamps.
  TLabel *D1, *D2, *D3, *D4, *D5, *D6, *D7, *D8, *D9, *D10;
  // The legend: a red square and "ON", a black square and "OFF".
  TLabel *Label21, *Label22, *Label23, *Label24;
  TEdit* EdiOutBill;
  TButton* OutBtn;
  TButton* OutBtnStep;
  TButton* Exitbtn;
  TCheckBox* Debug;
  TMemo* Memo3;

  // --- the bevels between the columns ---
  TPanel* Panel1;
  TPanel* Panel3;

  // --- middle column ---
  TButton* CalibBtn;
  TButton* ClearCtBtn;
  TButton* ClearBKBtn;
  TButton* ClearBKCtBtn;
  TButton* DisableBtn;
  TButton* EnableBtn;
  TButton* StatusBtn;
  TButton* ErrBtn;
  TButton* CrErrBtn;
  TButton* BillCountBtn;
  TButton* PowerOutBtn;
  TButton* PwEnable;
  TButton* PwDisable;
  TButton* TestBtn;
  TButton* PwBtn;
  TButton* Button2;

  // --- panes ---
  TMemo* Memo1;
  TMemo* Memo2;
  TMemo* Memo4;

  // --- right column ---
  TButton* BtnTest;
  TPanel* Panel4;
  TLabel *Label15, *Label16, *Label17, *Label18, *Label19, *Label20;
  TLabel *lblMOTOR, *lblRIR, *lblLIR, *lblENC, *lblDISPLAY, *lblCOUNTER;
  TButton* Button1;
  TEdit* Edit1;
  TLabel* Label25;

  // --- timers ---
  TTimer* Timer1;
  TTimer* Timer2;
  TTimer* Timer3;
  TTimer* Timer4;

  // D1 … D10 by number (1-based).
  TLabel* Lamp(int number) const { return lamps_.at(static_cast<std::size_t>(number - 1)); }
  // The value field of an auto-test result.
  TLabel* TestValueField(protocol::TestField field) const;
  // The buttons bound to the key-down handler.
  const std::vector<TButton*>& KeyDownBoundButtons() const { return keyDownBound_; }

  // --- the window (unit1.cpp) ---
  void FormCreate(TObject* Sender);
  void FormDestroy(TObject* Sender);
  void ExitbtnClick(TObject* Sender);
  void DebugClick(TObject* Sender);
  void Memo1Click(TObject* Sender);
  void Memo2Click(TObject* Sender);
  void Memo3Click(TObject* Sender);
  void Memo4Click(TObject* Sender);
  void EdiOutBillKeyPress(TObject* Sender, char& Key);
  void ClearBKBtnKeyDown(TObject* Sender, std::uint16_t& Key, TShiftState Shift);
  // The guard at the head of every guarded handler: true (and the latch
  // cleared) when the click is to be swallowed.
  bool ConsumeSpaceKeyLatch();
  // The control tables of the started and ended protocol.
  void SetStartedState();
  void SetEndedState();

  // --- protocol start and end (protocol_start_end.cpp) ---
  void StartBtnClick(TObject* Sender);
  void EndBtnClick(TObject* Sender);

  // --- the link protocol (protocol/) ---
  void SendFrame(const protocol::CommandFrame& frame);
  void Comm1ReceiveData(TObject* Sender);
  // Validates and decodes one reply with the ID characters of its receive call.
  void DecodeReply(const protocol::CommandFrame& rx, std::uint8_t id10, std::uint8_t id1);
  void BillsRule(std::int32_t dispensed);
  // A line of the traffic log (flushed at once) when the log is open.
  void WriteLogLine(const std::string& line);
  // A line of the status record file, opened and closed for each line.
  void WriteRecordLine(const std::string& line);
  // The ID characters as the edits hold them now.
  std::uint8_t IdTens() const;
  std::uint8_t IdUnits() const;
  void SetLamp(int number, TColor colour);
  void SetTestValue(protocol::TestField field, const std::string& text);

  // --- command buttons (procedures/command_buttons.cpp) ---
  void StatusBtnClick(TObject* Sender);
  void OutBtnClick(TObject* Sender);
  void PowerOutBtnClick(TObject* Sender);
  void BillCountBtnClick(TObject* Sender);
  void TestBtnClick(TObject* Sender);
  void ClearCtBtnClick(TObject* Sender);
  void ClearBKBtnClick(TObject* Sender);
  void ClearBKCtBtnClick(TObject* Sender);
  void DisableBtnClick(TObject* Sender);
  void EnableBtnClick(TObject* Sender);
  void ErrBtnClick(TObject* Sender);
  void CrErrBtnClick(TObject* Sender);
  void CalibBtnClick(TObject* Sender);
  void PwBtnClick(TObject* Sender);
  void PwEnableClick(TObject* Sender);
  void PwDisableClick(TObject* Sender);
  void DipBtnClick(TObject* Sender);
  // One click of a command button with a constant command field.
  void RunCommandButton(protocol::Command command);

  // --- single-bill stepping (procedures/single_bill_stepping.cpp) ---
  void OutBtnStepClick(TObject* Sender);
  void Timer2Timer(TObject* Sender);
  void SteppingBranch(std::int32_t dispensed);

  // --- the two polls (procedures/polls.cpp) ---
  void Button2Click(TObject* Sender);
  void Timer3Timer(TObject* Sender);
  void Timer4Timer(TObject* Sender);
  void Button1Click(TObject* Sender);
  void Timer1Timer(TObject* Sender);

  // --- auto test (procedures/auto_test.cpp) ---
  void BtnTestClick(TObject* Sender);

 private:
  void CreateControls();
  void SetProtocolControls(bool started);
  void BindHandlers();
  void WriteFrameBytes(const protocol::CommandFrame& frame);

  std::array<TLabel*, 10> lamps_{};
  std::vector<TButton*> keyDownBound_;
  // Frames asked for while another frame is on the line wait here, so that
  // two frames never mix byte by byte.
  std::deque<protocol::CommandFrame> framesWaiting_;
  bool sending_ = false;
  // A record file that cannot be written is told once per run of failures.
  bool recordFileFailing_ = false;
};

// The main window of this process.
extern TForm1* Form1;

// Exact pixel positions of the controls.
void LayOut(TForm1& form);

}  // namespace app
