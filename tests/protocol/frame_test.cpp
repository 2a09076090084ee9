#include "protocol/frame.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "protocol/command_table.h"
#include "protocol/reply_decoder.h"
#include "protocol/text_numbers.h"
#include "tests/protocol/hex_bytes.h"

namespace protocol {
namespace {

using testing::FrameFromHex;
using testing::Hex;

TEST(Frame, StatusFrameAndItsHexLine) {
  const CommandFrame f = MakeFrame('0', '0', "S0000");
  EXPECT_EQ(HexLine(f), "02 30 30 53 30 30 30 30 75 03 ");
  EXPECT_EQ(FrameChecksum(f), 0x75);
}

// The frames a sender puts on the line, with the ID edits' texts as typed.
struct SentFrame {
  std::string what;
  std::function<CommandFrame()> build;
  std::string hex;
};

TEST(Frame, EverySenderBuildsTheExactBytes) {
  const auto id = [](std::string_view edi1th) { return FirstChar(edi1th); };
  const auto outBill = [](std::string_view count, std::string_view edi1th) {
    return *BuildOutBillFrame(count, FirstChar("0"), FirstChar(edi1th));
  };
  const std::vector<SentFrame> rows = {
      {"status", [&] { return BuildCommandFrame(Command::Status, '0', id("0")); },
       "02 30 30 53 30 30 30 30 75 03"},
      {"status to ID 01", [&] { return BuildCommandFrame(Command::Status, '0', id("1")); },
       "02 30 31 53 30 30 30 30 76 03"},
      {"status with Edi1th empty", [&] { return BuildCommandFrame(Command::Status, '0', id("")); },
       "02 30 00 53 30 30 30 30 45 03"},
      {"status with Edi1th holding 12",
       [&] { return BuildCommandFrame(Command::Status, '0', id("12")); },
       "02 30 31 53 30 30 30 30 76 03"},
      {"out bill 5", [&] { return outBill("5", "0"); }, "02 30 30 42 30 30 30 35 69 03"},
      {"out bill 1234 loses its 4", [&] { return outBill("1234", "0"); },
       "02 30 30 42 30 31 32 33 6A 03"},
      {"out bill 999 to ID 09, checksum above 7F", [&] { return outBill("999", "9"); },
       "02 30 39 42 30 39 39 39 88 03"},
      {"out bill one", [&] { return BuildCommandFrame(Command::OutBillOne, '0', id("0")); },
       "02 30 30 42 30 30 30 31 65 03"},
      {"live poll ignores Edi1th 7",
       [&] { return BuildCommandFrame(Command::LivePoll, '0', id("7")); },
       "02 30 30 58 30 30 30 30 7A 03"},
      {"auto test", [&] { return BuildCommandFrame(Command::AutoTest, '0', id("0")); },
       "02 30 30 30 30 30 30 30 52 03"},
      {"auto test step 1 after a valid '0' from ID 07",
       [&] {
         return *DecodeReply(FrameFromHex("02 30 37 30 00 00 00 00 99 03"), '0', id("7")).followUp;
       },
       "02 30 37 31 30 30 30 30 5A 03"},
  };
  for (const SentFrame& row : rows) EXPECT_EQ(Hex(row.build()), row.hex) << row.what;
}

}  // namespace
}  // namespace protocol
