#include "protocol/command_table.h"

#include <string>

#include "protocol/text_numbers.h"

namespace protocol {

const std::vector<CommandSpec>& CommandTable() {
  using enum Command;
  constexpr auto E = IdSource::Edits;
  constexpr auto U = PendingWrite::Unchanged;
  constexpr auto A = PendingWrite::AfterSending;
  constexpr auto B = PendingWrite::BeforeLatchTest;
  static const std::vector<CommandSpec> table = {
      {Status, "S0000", "StatusBtnClick", "Status", E, U, 0, "reply 's'"},
      {OutBill, "B0000", "OutBtnClick", "Out Bill 1~100", E, A, 0,
       "ACK, then reply 'b' (bills dispensed) or reply 'E' (device error)"},
      {OutBillOne, "B0001", "OutBtnStepClick", "Out Bill One", E, A, 10, "ACK, then reply 'b'"},
      {PowerOut, "60000", "PowerOutBtnClick", "Powerful Out Bill", E, U, 0, ""},
      {TotalCount, "C0000", "BillCountBtnClick", "Total Count", E, U, 0, "reply 'c'"},
      {AllBillRecord, "T0000", "TestBtnClick", "All Bill Record", E, U, 0, ""},
      {ClearCount, "I0001", "ClearCtBtnClick", "Clear Count", E, A, 1, "ACK"},
      {ClearError, "I0002", "ClearBKBtnClick", "Clear Error", E, A, 2, "ACK"},
      {ClearCountAndError, "I0003", "ClearBKCtBtnClick", "Clear Count and Error", E, A, 3, "ACK"},
      {KeyDisable, "K1010", "DisableBtnClick", "Key Disable", E, A, 4, "ACK"},
      {KeyEnable, "K0000", "EnableBtnClick", "Key Enable", E, A, 5, "ACK"},
      {ErrorRecord, "R0000", "ErrBtnClick", "Error Record", E, U, 0, "reply 'r'"},
      {ClearErrorRecord, "U0000", "CrErrBtnClick", "Clear Err Record", E, A, 6, "ACK"},
      {Calibration, "A0000", "CalibBtnClick", "Calibration IR", E, A, 7, "ACK"},
      {GetPassword, "P0000", "PwBtnClick", "Get Password", E, U, 0, "reply 'p'"},
      {PasswordEnable, "71000", "PwEnableClick", "Password  Enable", E, B, 8, "ACK"},
      {PasswordDisable, "70000", "PwDisableClick", "Password  Disable", E, B, 9, "ACK"},
      {DipSwitch, "D0000", "DipBtnClick", "DIP SWITCH", E, U, 0, "reply 'd'"},
      // Also sent by every Timer1Timer tick while the live poll runs.
      {LivePoll, "X0000", "Button1Click", "DIP SWITCH", IdSource::Fixed00, U, 0, "reply 'x'"},
      {AutoTest, "00000", "BtnTestClick", "AUTO TEST", E, U, 0, "reply '0'"},
  };
  return table;
}

const CommandSpec& SpecOf(Command c) {
  return CommandTable()[static_cast<std::size_t>(c)];
}

CommandFrame BuildCommandFrame(Command c, std::uint8_t id10, std::uint8_t id1) {
  const CommandSpec& spec = SpecOf(c);
  if (spec.id == IdSource::Fixed00) return MakeFrame('0', '0', spec.field);
  return MakeFrame(id10, id1, spec.field);
}

std::optional<CommandFrame> BuildOutBillFrame(std::string_view countText, std::uint8_t id10,
                                              std::uint8_t id1) {
  if (countText.empty()) return std::nullopt;
  if (StrToInt(countText) <= 0) return std::nullopt;

  // The digits come from the text itself, not from the converted value.
  std::string digits(countText);
  if (digits.size() == 1) {
    digits.insert(0, "00");
  } else if (digits.size() == 2) {
    digits.insert(0, "0");
  }
  return MakeFrame(id10, id1, "B0" + digits.substr(0, 3));
}

CommandFrame BuildAutoTestStepFrame(char step, std::uint8_t id10, std::uint8_t id1) {
  const char field[5] = {step, '0', '0', '0', '0'};
  return MakeFrame(id10, id1, std::string_view(field, 5));
}

}  // namespace protocol
