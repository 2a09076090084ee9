#include "protocol/condition_texts.h"

#include <utility>

namespace protocol {

std::optional<std::string_view> DeviceErrorText(std::uint8_t code) {
  // The "E1x" numbers skip the code 'E', so 'D' is E15 and 'F' is E16.
  static constexpr std::pair<char, std::string_view> texts[] = {
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
  for (const auto& [c, text] : texts) {
    if (static_cast<std::uint8_t>(c) == code) return text;
  }
  return std::nullopt;
}

std::optional<std::string_view> ErrorRecordLabel(std::uint8_t code) {
  static constexpr std::string_view labels[] = {
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
  if (code < 20 || code > 31) return std::nullopt;
  return labels[code - 20];
}

std::vector<std::string> StatusLines(std::uint8_t b4, std::uint8_t b5, std::uint8_t b6,
                                     std::uint8_t b7) {
  const auto key = [](std::string_view name, std::uint8_t state) {
    return std::string(name) + (state == '0' ? " [ UNLOCK ]" : " [ LOCK ]");
  };
  switch (b4) {
    case 'w':
      return {"Busy..."};
    case 'r':
      return {"Ready..."};
    case 'e':
      return {"Error..." + std::string(1, static_cast<char>(b5))};
    case 't':
      return {"Test_Mode", key("_START Key", b6), key("_CLEAR Key", b7)};
    default:
      return {};
  }
}

}  // namespace protocol
