#include "protocol/command_table.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "protocol/text_numbers.h"
#include "tests/protocol/hex_bytes.h"

namespace protocol {
namespace {

using testing::Hex;

struct Row {
  Command command;
  std::string_view field;
  std::string_view sentBy;
  std::string_view caption;
  IdSource id;
  PendingWrite pendingWrite;
  std::uint32_t pendingValue;
};

TEST(CommandTable, EveryCommandItsFieldSenderAndPendingCommand) {
  constexpr auto E = IdSource::Edits;
  constexpr auto U = PendingWrite::Unchanged;
  constexpr auto A = PendingWrite::AfterSending;
  constexpr auto B = PendingWrite::BeforeLatchTest;
  const Row expected[] = {
      {Command::Status, "S0000", "StatusBtnClick", "Status", E, U, 0},
      {Command::OutBill, "B0000", "OutBtnClick", "Out Bill 1~100", E, A, 0},
      {Command::OutBillOne, "B0001", "OutBtnStepClick", "Out Bill One", E, A, 10},
      {Command::PowerOut, "60000", "PowerOutBtnClick", "Powerful Out Bill", E, U, 0},
      {Command::TotalCount, "C0000", "BillCountBtnClick", "Total Count", E, U, 0},
      {Command::AllBillRecord, "T0000", "TestBtnClick", "All Bill Record", E, U, 0},
      {Command::ClearCount, "I0001", "ClearCtBtnClick", "Clear Count", E, A, 1},
      {Command::ClearError, "I0002", "ClearBKBtnClick", "Clear Error", E, A, 2},
      {Command::ClearCountAndError, "I0003", "ClearBKCtBtnClick", "Clear Count and Error", E, A, 3},
      {Command::KeyDisable, "K1010", "DisableBtnClick", "Key Disable", E, A, 4},
      {Command::KeyEnable, "K0000", "EnableBtnClick", "Key Enable", E, A, 5},
      {Command::ErrorRecord, "R0000", "ErrBtnClick", "Error Record", E, U, 0},
      {Command::ClearErrorRecord, "U0000", "CrErrBtnClick", "Clear Err Record", E, A, 6},
      {Command::Calibration, "A0000", "CalibBtnClick", "Calibration IR", E, A, 7},
      {Command::GetPassword, "P0000", "PwBtnClick", "Get Password", E, U, 0},
      {Command::PasswordEnable, "71000", "PwEnableClick", "Password  Enable", E, B, 8},
      {Command::PasswordDisable, "70000", "PwDisableClick", "Password  Disable", E, B, 9},
      {Command::DipSwitch, "D0000", "DipBtnClick", "DIP SWITCH", E, U, 0},
      {Command::LivePoll, "X0000", "Button1Click", "DIP SWITCH", IdSource::Fixed00, U, 0},
      {Command::AutoTest, "00000", "BtnTestClick", "AUTO TEST", E, U, 0},
  };
  ASSERT_EQ(CommandTable().size(), std::size(expected));
  for (const Row& row : expected) {
    const CommandSpec& spec = SpecOf(row.command);
    SCOPED_TRACE(std::string(row.sentBy));
    EXPECT_EQ(spec.command, row.command);
    EXPECT_EQ(spec.field, row.field);
    EXPECT_EQ(spec.sentBy, row.sentBy);
    EXPECT_EQ(spec.caption, row.caption);
    EXPECT_EQ(spec.id, row.id);
    EXPECT_EQ(spec.pendingWrite, row.pendingWrite);
    EXPECT_EQ(spec.pendingValue, row.pendingValue);

    // Every frame carries the field, the ID the row names, its checksum and ETX.
    const CommandFrame f = BuildCommandFrame(row.command, '1', '7');
    const bool fixed = row.id == IdSource::Fixed00;
    EXPECT_EQ(f[0], STX);
    EXPECT_EQ(f[1], fixed ? '0' : '1');
    EXPECT_EQ(f[2], fixed ? '0' : '7');
    EXPECT_EQ(std::string(f.begin() + 3, f.begin() + 8), row.field);
    EXPECT_EQ(f[8], FrameChecksum(f));
    EXPECT_EQ(f[9], ETX);
  }
}

TEST(CommandTable, CountFieldRule) {
  struct Case {
    std::string_view text;
    std::optional<std::string_view> hex;  // nullopt: no frame
  };
  const Case cases[] = {
      {"7", "02 30 30 42 30 30 30 37 6B 03"},
      {"42", "02 30 30 42 30 30 34 32 6A 03"},
      {"100", "02 30 30 42 30 31 30 30 65 03"},
      {"1234", "02 30 30 42 30 31 32 33 6A 03"},
      {"0012", "02 30 30 42 30 30 30 31 65 03"},
      {"0", std::nullopt},
      {"00", std::nullopt},
      {"000", std::nullopt},
      {"0000", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    const std::optional<CommandFrame> f = BuildOutBillFrame(c.text, '0', '0');
    ASSERT_EQ(f.has_value(), c.hex.has_value()) << "'" << c.text << "'";
    if (f) {
      EXPECT_EQ(Hex(*f), *c.hex) << "'" << c.text << "'";
    }
  }
}

TEST(CommandTable, CountThatIsNotANumberThrowsTheToolkitsError) {
  try {
    BuildOutBillFrame("1a", '0', '0');
    FAIL() << "no conversion error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'1a' is not a valid integer value");
  }
  EXPECT_THROW(BuildOutBillFrame(" ", '0', '0'), EConvertError);
}

TEST(CommandTable, AutoTestStepFramesCarryTheStepAndTheGivenId) {
  EXPECT_EQ(Hex(BuildAutoTestStepFrame('0', '0', '0')), "02 30 30 30 30 30 30 30 52 03");
  EXPECT_EQ(Hex(BuildAutoTestStepFrame('5', '0', '7')), "02 30 37 35 30 30 30 30 5E 03");
  EXPECT_EQ(Hex(BuildAutoTestStepFrame('3', '0', 0x00)), "02 30 00 33 30 30 30 30 25 03");
}

}  // namespace
}  // namespace protocol
