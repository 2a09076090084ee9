#include "protocol/condition_texts.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace protocol {
namespace {

TEST(DeviceErrorText, EveryCodeAndNothingElse) {
  const std::map<std::uint8_t, std::string_view> table = {
      {'1', "no bills during being dispensed by host commend."},
      {'2', "Jam 1 or Jam 2"},
      {'3', "Chain"},
      {'4', "Half"},
      {'5', "Short"},
      {'6', "no bills during being dispensed by start switch."},
      {'7', "Double"},
      {'8', "over count 4000 pcs"},
      {'9', "E11 -> Receiving error during commnunication test."},
      {'A', "E12 : Encoder error.(No encoder signal during motor operation test.)"},
      {'B', "E13 : IR Left Open error."},
      {'C', "E14 : IR Right Open error"},
      {'D', "E15 : IR Left Short error"},
      {'F', "E16 : IR Right Short error"},
      {'G', "E17 : IR Left & Right are in difference with more than 20."},
      {'H', "! Calibration IR Error...code H"},
      {'I', "! Bill Count Over 9999..."},
      {'J', "! IR Working Error...code g"},
      {'L', "! IR Left dirty...code L"},
      {'R', "! IR Right dirty...code r"},
  };
  for (int code = 0; code < 256; ++code) {
    const auto it = table.find(static_cast<std::uint8_t>(code));
    const auto text = DeviceErrorText(static_cast<std::uint8_t>(code));
    if (it == table.end()) {
      EXPECT_FALSE(text.has_value()) << code;
    } else {
      EXPECT_EQ(text, it->second) << code;
    }
  }
}

TEST(ErrorRecordLabel, TwelveLabelsFrom20To31) {
  const std::string_view labels[] = {
      "-Double Bill    ",
      "-Over 9999    ",
      "-MOTOR Error    ",
      "-IR_LEFT START Error    ",
      "-IR_RIGHT START Error    ",
      "-IR_LEFT Calibration Error    ",
      "-IR_RIGHT Calibration Error    ",
      "-IR Working Error    ",
      "-Calibreation IR Error    ",
      "-IR Left & Right different more than 20 Error    ",
      "-IR Right Dirty Error    ",
      "-IR Left Dirty Error    ",
  };
  for (int code = 0; code < 256; ++code) {
    const auto label = ErrorRecordLabel(static_cast<std::uint8_t>(code));
    if (code >= 20 && code <= 31) {
      EXPECT_EQ(label, labels[code - 20]) << code;
    } else {
      EXPECT_FALSE(label.has_value()) << code;
    }
  }
}

TEST(StatusLines, EachLetter) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(StatusLines('w', '0', '0', '0'), Lines{"Busy..."});
  EXPECT_EQ(StatusLines('r', '0', '0', '0'), Lines{"Ready..."});
  EXPECT_EQ(StatusLines('e', '3', '0', '0'), Lines{"Error...3"});
  EXPECT_EQ(StatusLines('e', 0, '0', '0'), Lines{std::string("Error...\0", 9)});
  EXPECT_EQ(StatusLines('t', '0', '0', '0'),
            (Lines{"Test_Mode", "_START Key [ UNLOCK ]", "_CLEAR Key [ UNLOCK ]"}));
  EXPECT_EQ(StatusLines('t', '0', '0', '1'),
            (Lines{"Test_Mode", "_START Key [ UNLOCK ]", "_CLEAR Key [ LOCK ]"}));
  EXPECT_EQ(StatusLines('t', '0', 'A', '0'),
            (Lines{"Test_Mode", "_START Key [ LOCK ]", "_CLEAR Key [ UNLOCK ]"}));
  EXPECT_TRUE(StatusLines('x', '0', '0', '0').empty());
  EXPECT_TRUE(StatusLines('R', '0', '0', '0').empty());
}

}  // namespace
}  // namespace protocol
