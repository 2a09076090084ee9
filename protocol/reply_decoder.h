// Validation and decoding of one reply frame into what the window shows.
// Decoding is pure: the window applies the result, keeps the state that some
// replies need (TestCountAccumulator, BillsRemaining, PendingCommand) and
// sends the follow-up frame.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/frame.h"

namespace protocol {

// lblMOTOR, lblLIR, lblRIR, lblENC, lblDISPLAY, lblCOUNTER
enum class TestField { Motor, LIR, RIR, ENC, Display, Counter };

struct DecodedReply {
  // Passed the validity test: STX, ETX, checksum, and ID bytes equal to the
  // ID characters. Nothing below but lampsBlack is set for an invalid reply.
  bool valid = false;
  std::vector<std::string> memo1;  // lines for Memo1, in order
  // D1..D10: true = black (bit set), false = red. Set by a valid 'd' reply,
  // and by an 'x' reply with STX, ETX and a correct checksum even when its
  // ID bytes differ from the ID characters: the live poll always goes to ID
  // "00". Such an 'x' reply keeps valid false.
  std::optional<std::array<bool, 10>> lampsBlack;
  // Auto test ('0' to '5'): the label, its text, and whether the label's font
  // turns red (it is never turned back).
  std::optional<TestField> testField;
  std::string testText;
  bool testError = false;
  std::optional<CommandFrame> followUp;  // next auto-test step to send
  std::optional<std::string> caption;    // 'v'
  // 'b': bills dispensed; the window applies the bills rule (OutBillLine,
  // SteppingStopLine).
  std::optional<std::int32_t> billsDispensed;
  std::optional<std::int32_t> testCountHigh;  // 'y': replaces the accumulator
  // 'z': added to the accumulator (AddTestCount), which is then shown with
  // TestCountLine.
  std::optional<std::int32_t> testCountLow;
  // 's': B4 for the record file's line (RecordLine); disarms the watchdog.
  std::optional<std::uint8_t> statusByte;
};

// id10/id1: the ID characters read at the start of the receive call.
DecodedReply DecodeReply(const CommandFrame& rx, std::uint8_t id10, std::uint8_t id1);

// Adds a 'z' value to the accumulator in 32-bit two's complement, so a long
// run of foreign replies wraps instead of overflowing.
std::int32_t AddTestCount(std::int32_t accumulator, std::int32_t low);

std::string TestCountLine(std::int32_t accumulator);  // ">> Test Count = " + value
std::string RecordLine(std::uint8_t statusByte);      // "Rx:" + decimal

// Bills rule outside stepping: n bills came out, requested were asked for.
std::string OutBillLine(std::int32_t n, std::int32_t requested);
// Stepping stopped by a reply that did not report exactly one bill.
std::string SteppingStopLine(std::int32_t billsRemaining);

}  // namespace protocol
