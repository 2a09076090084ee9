// The command buttons: one click, one frame.
#include "app/globals.h"
#include "app/unit1.h"
#include "protocol/command_table.h"

namespace app {

using protocol::Command;

void TForm1::RunCommandButton(Command command) {
  const protocol::CommandSpec& spec = protocol::SpecOf(command);
  // The password buttons set their value before the guard, so a swallowed
  // click still changes it.
  if (spec.pendingWrite == protocol::PendingWrite::BeforeLatchTest) {
    PendingCommand = spec.pendingValue;
  }
  if (ConsumeSpaceKeyLatch()) return;
  SendFrame(protocol::BuildCommandFrame(command, IdTens(), IdUnits()));
  if (spec.pendingWrite == protocol::PendingWrite::AfterSending) {
    PendingCommand = spec.pendingValue;
  }
}

void TForm1::StatusBtnClick(TObject*) {
  RunCommandButton(Command::Status);
}
void TForm1::PowerOutBtnClick(TObject*) {
  RunCommandButton(Command::PowerOut);
}
void TForm1::BillCountBtnClick(TObject*) {
  RunCommandButton(Command::TotalCount);
}
void TForm1::TestBtnClick(TObject*) {
  RunCommandButton(Command::AllBillRecord);
}
void TForm1::ClearCtBtnClick(TObject*) {
  RunCommandButton(Command::ClearCount);
}
void TForm1::ClearBKBtnClick(TObject*) {
  RunCommandButton(Command::ClearError);
}
void TForm1::ClearBKCtBtnClick(TObject*) {
  RunCommandButton(Command::ClearCountAndError);
}
void TForm1::DisableBtnClick(TObject*) {
  RunCommandButton(Command::KeyDisable);
}
void TForm1::EnableBtnClick(TObject*) {
  RunCommandButton(Command::KeyEnable);
}
void TForm1::ErrBtnClick(TObject*) {
  RunCommandButton(Command::ErrorRecord);
}
void TForm1::CrErrBtnClick(TObject*) {
  RunCommandButton(Command::ClearErrorRecord);
}
void TForm1::CalibBtnClick(TObject*) {
  RunCommandButton(Command::Calibration);
}
void TForm1::PwBtnClick(TObject*) {
  RunCommandButton(Command::GetPassword);
}
void TForm1::PwEnableClick(TObject*) {
  RunCommandButton(Command::PasswordEnable);
}
void TForm1::PwDisableClick(TObject*) {
  RunCommandButton(Command::PasswordDisable);
}
void TForm1::DipBtnClick(TObject*) {
  RunCommandButton(Command::DipSwitch);
}

void TForm1::OutBtnClick(TObject*) {
  if (ConsumeSpaceKeyLatch()) return;
  // Empty, zero or negative: nothing is sent and nothing shown; a text that
  // is not a number raises the conversion error.
  const auto frame = protocol::BuildOutBillFrame(EdiOutBill->Text(), IdTens(), IdUnits());
  if (!frame) return;
  SendFrame(*frame);
  PendingCommand = protocol::SpecOf(Command::OutBill).pendingValue;
}

}  // namespace app
