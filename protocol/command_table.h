// Every command the console sends: its constant field, the handler that
// sends it, how its ID bytes are filled and what it does to PendingCommand;
// and the builders for the frames whose bytes are filled at send time.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "protocol/frame.h"

namespace protocol {

enum class Command {
  Status,
  OutBill,
  OutBillOne,
  PowerOut,
  TotalCount,
  AllBillRecord,
  ClearCount,
  ClearError,
  ClearCountAndError,
  KeyDisable,
  KeyEnable,
  ErrorRecord,
  ClearErrorRecord,
  Calibration,
  GetPassword,
  PasswordEnable,
  PasswordDisable,
  DipSwitch,
  LivePoll,
  AutoTest
};

// Edits: bytes 1 and 2 are the first characters of Edi10th and Edi1th.
// Fixed00: the live poll always goes to ID "00".
enum class IdSource { Edits, Fixed00 };

// When the sender writes PendingCommand: never, after SendFrame has returned,
// or as its very first step, before the space-bar latch test (the two
// password commands).
enum class PendingWrite { Unchanged, AfterSending, BeforeLatchTest };

struct CommandSpec {
  Command command;
  std::string_view field;  // five characters; OutBill's count digits are "000" here
  std::string_view sentBy;
  std::string_view caption;
  IdSource id;
  PendingWrite pendingWrite;
  std::uint32_t pendingValue;  // 0 where pendingWrite is Unchanged
  std::string_view resultShownBy;
};

// One row per command, in the order of the Command enumeration.
const std::vector<CommandSpec>& CommandTable();
const CommandSpec& SpecOf(Command c);

// Frame for a command with a constant field: fills the ID bytes (LivePoll
// keeps '0', '0'), the checksum and ETX. For OutBill it gives the bare
// "B0000" field; its count goes through BuildOutBillFrame.
CommandFrame BuildCommandFrame(Command c, std::uint8_t id10, std::uint8_t id1);

// The count field rule for "Out Bill 1~100": no frame for an empty text or a
// value of 0 or less; EConvertError for a text that is not an integer.
// Otherwise bytes 5 to 7 are the text's first three characters after padding
// a one- or two-character text with leading '0's; a fourth character is lost.
std::optional<CommandFrame> BuildOutBillFrame(std::string_view countText, std::uint8_t id10,
                                              std::uint8_t id1);

// Auto-test step frame: the step character '0' to '5' in byte 3, then "0000".
CommandFrame BuildAutoTestStepFrame(char step, std::uint8_t id10, std::uint8_t id1);

}  // namespace protocol
