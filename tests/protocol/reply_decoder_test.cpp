#include "protocol/reply_decoder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/protocol/hex_bytes.h"

namespace protocol {
namespace {

using testing::FrameFromHex;
using testing::Hex;

// Lamps D1..D10 as letters: 'B' black (bit set), 'R' red.
std::string LampLetters(const std::array<bool, 10>& black) {
  std::string s;
  for (bool b : black) s.push_back(b ? 'B' : 'R');
  return s;
}

struct Case {
  std::string_view what;
  std::string_view hex;
  std::uint8_t id1 = '0';  // Edi10th is always '0'
  bool valid = true;
  std::vector<std::string> memo1 = {};
  std::optional<std::string> lamps = {};
  std::optional<TestField> testField = {};
  std::string testText = {};
  bool testError = false;
  std::optional<std::string> followUp = {};
  std::optional<std::string> caption = {};
  std::optional<std::int32_t> bills = {};
  std::optional<std::int32_t> high = {};
  std::optional<std::int32_t> low = {};
  std::optional<std::uint8_t> status = {};
};

TEST(DecodeReply, EachCodeAndTheValidityTest) {
  const Case cases[] = {
      // Validity: every condition alone rejects a reply that is good otherwise.
      {.what = "total count",
       .hex = "02 30 30 63 30 31 32 33 8B 03",
       .memo1 = {">> Total Count = 123"}},
      {.what = "wrong checksum", .hex = "02 30 30 63 30 31 32 33 00 03", .valid = false},
      {.what = "no STX", .hex = "12 30 30 63 30 31 32 33 9B 03", .valid = false},
      {.what = "no ETX", .hex = "02 30 30 63 30 31 32 33 8B 13", .valid = false},
      {.what = "other ID", .hex = "02 30 31 63 30 31 32 33 8C 03", .valid = false},
      {.what = "Edi1th empty", .hex = "02 30 30 63 30 31 32 33 8B 03", .id1 = 0, .valid = false},
      {.what = "unknown code", .hex = "02 30 30 71 00 00 00 00 D3 03"},

      // Lamps: 'x' skips the ID test but not the checksum; 'd' needs it all.
      {.what = "live DIP", .hex = "02 30 30 78 02 A5 00 00 81 03", .lamps = "BRBRBRRBRB"},
      {.what = "live DIP from ID 05",
       .hex = "02 30 35 78 01 5A 00 00 3A 03",
       .valid = false,
       .lamps = "RBRBRBBRBR"},
      {.what = "live DIP, Edi1th empty",
       .hex = "02 30 30 78 02 A5 00 00 81 03",
       .id1 = 0,
       .valid = false,
       .lamps = "BRBRBRRBRB"},
      {.what = "live DIP, wrong checksum", .hex = "02 30 30 78 02 A5 00 00 00 03", .valid = false},
      {.what = "live DIP, high bits of B4 unused",
       .hex = "02 30 30 78 FC 00 00 00 D6 03",
       .lamps = "RRRRRRRRRR"},
      {.what = "DIP", .hex = "02 30 30 64 02 A5 00 00 6D 03", .lamps = "BRBRBRRBRB"},
      {.what = "DIP from ID 05", .hex = "02 30 35 64 01 5A 00 00 26 03", .valid = false},

      // Auto test: the label, its text and the next step to the read ID.
      {.what = "motor 0",
       .hex = "02 30 30 30 00 00 00 00 92 03",
       .testField = TestField::Motor,
       .testText = "ERROR",
       .testError = true,
       .followUp = "02 30 30 31 30 30 30 30 53 03"},
      {.what = "motor 1500",
       .hex = "02 30 30 30 00 00 05 DC 73 03",
       .testField = TestField::Motor,
       .testText = "1500",
       .followUp = "02 30 30 31 30 30 30 30 53 03"},
      {.what = "motor from ID 07",
       .hex = "02 30 37 30 00 00 00 00 99 03",
       .id1 = '7',
       .testField = TestField::Motor,
       .testText = "ERROR",
       .testError = true,
       .followUp = "02 30 37 31 30 30 30 30 5A 03"},
      {.what = "LIR 0",
       .hex = "02 30 30 31 00 00 00 00 93 03",
       .testField = TestField::LIR,
       .testText = "0",
       .followUp = "02 30 30 32 30 30 30 30 54 03"},
      {.what = "RIR 65535",
       .hex = "02 30 30 32 00 00 FF FF 92 03",
       .testField = TestField::RIR,
       .testText = "65535",
       .followUp = "02 30 30 33 30 30 30 30 55 03"},
      {.what = "ENC 0",
       .hex = "02 30 30 33 00 00 00 00 95 03",
       .testField = TestField::ENC,
       .testText = "ERROR",
       .testError = true,
       .followUp = "02 30 30 34 30 30 30 30 56 03"},
      {.what = "ENC 1",
       .hex = "02 30 30 33 00 00 00 01 96 03",
       .testField = TestField::ENC,
       .testText = "OK",
       .followUp = "02 30 30 34 30 30 30 30 56 03"},
      {.what = "display",
       .hex = "02 30 30 34 00 00 00 00 96 03",
       .testField = TestField::Display,
       .testText = "Sended",
       .followUp = "02 30 30 35 30 30 30 30 57 03"},
      {.what = "counter ends the test",
       .hex = "02 30 30 35 00 00 00 00 97 03",
       .testField = TestField::Counter,
       .testText = "Sended"},
      {.what = "motor 0 from another ID",
       .hex = "02 30 30 30 00 00 00 00 92 03",
       .id1 = '7',
       .valid = false},

      // Counts, password, values, version.
      {.what = "bills 3", .hex = "02 30 30 62 30 30 30 33 87 03", .bills = 3},
      {.what = "bills, non-digit enters the sum",
       .hex = "02 30 30 62 30 30 30 41 95 03",
       .bills = 17},
      {.what = "password",
       .hex = "02 30 30 70 09 01 14 FF EF 03",
       .memo1 = {">> Password is", "1 20 255"}},
      {.what = "three values", .hex = "02 30 30 77 09 00 07 64 4D 03", .memo1 = {"0 7 100"}},
      {.what = "version 2.103", .hex = "02 30 30 76 02 0A 03 09 F0 03", .caption = "RM460 2.103"},
      {.what = "version 1.80", .hex = "02 30 30 76 01 08 00 00 E1 03", .caption = "RM460 1.80"},
      {.what = "test count high", .hex = "02 30 30 79 09 09 01 02 F0 03", .high = 120000},
      {.what = "test count low", .hex = "02 30 30 7A 03 04 05 06 EE 03", .low = 3456},

      // Condition replies.
      {.what = "device error 9",
       .hex = "02 30 30 45 39 30 30 30 70 03",
       .memo1 = {"E11 -> Receiving error during commnunication test."}},
      {.what = "device error K", .hex = "02 30 30 45 4B 30 30 30 82 03"},
      {.what = "record 31",
       .hex = "02 30 30 72 1F 00 00 00 F3 03",
       .memo1 = {"-IR Left Dirty Error    0"}},
      {.what = "record 22", .hex = "02 30 30 72 16 03 00 00 ED 03", .memo1 = {"-MOTOR Error    3"}},
      {.what = "record 19", .hex = "02 30 30 72 13 03 00 00 EA 03"},
      {.what = "status ready",
       .hex = "02 30 30 73 72 30 30 30 D7 03",
       .memo1 = {"Ready..."},
       .status = 'r'},
      {.what = "status test mode",
       .hex = "02 30 30 73 74 30 30 31 DA 03",
       .memo1 = {"Test_Mode", "_START Key [ UNLOCK ]", "_CLEAR Key [ LOCK ]"},
       .status = 't'},
      {.what = "status unknown letter", .hex = "02 30 30 73 78 30 30 30 DD 03", .status = 'x'},
      {.what = "status from another ID",
       .hex = "02 30 30 73 72 30 30 30 D7 03",
       .id1 = '1',
       .valid = false},
  };

  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.what));
    const DecodedReply r = DecodeReply(FrameFromHex(c.hex), '0', c.id1);
    EXPECT_EQ(r.valid, c.valid);
    EXPECT_EQ(r.memo1, c.memo1);
    EXPECT_EQ(r.lampsBlack ? std::optional(LampLetters(*r.lampsBlack)) : std::nullopt, c.lamps);
    EXPECT_EQ(r.testField, c.testField);
    EXPECT_EQ(r.testText, c.testText);
    EXPECT_EQ(r.testError, c.testError);
    EXPECT_EQ(r.followUp ? std::optional(Hex(*r.followUp)) : std::nullopt, c.followUp);
    EXPECT_EQ(r.caption, c.caption);
    EXPECT_EQ(r.billsDispensed, c.bills);
    EXPECT_EQ(r.testCountHigh, c.high);
    EXPECT_EQ(r.testCountLow, c.low);
    EXPECT_EQ(r.statusByte, c.status);
  }
}

TEST(DecodeReply, TestCountAccumulatesHighThenLowParts) {
  const DecodedReply y = DecodeReply(FrameFromHex("02 30 30 79 00 00 01 02 DE 03"), '0', '0');
  const DecodedReply z = DecodeReply(FrameFromHex("02 30 30 7A 03 04 05 06 EE 03"), '0', '0');
  std::int32_t acc = *y.testCountHigh;
  acc = AddTestCount(acc, *z.testCountLow);
  EXPECT_EQ(TestCountLine(acc), ">> Test Count = 123456");
  acc = AddTestCount(acc, *z.testCountLow);
  EXPECT_EQ(TestCountLine(acc), ">> Test Count = 126912");
  // A long run of foreign replies wraps instead of overflowing.
  EXPECT_EQ(AddTestCount(2147483647, 1), -2147483647 - 1);
}

TEST(DecodeReply, BillsRuleTexts) {
  EXPECT_EQ(OutBillLine(3, 3), ">> OutBill = 3");
  EXPECT_EQ(OutBillLine(3, 5), ">> OutBill = 3;   -2  bills during being dispensed");
  EXPECT_EQ(OutBillLine(7, 5), ">> OutBill = 7;   2  bills during being dispensed");
  EXPECT_EQ(OutBillLine(1, -2147483647 - 1),
            ">> OutBill = 1;   2147483649  bills during being dispensed");
  EXPECT_EQ(SteppingStopLine(4), "-4 bills during being dispensed");
  EXPECT_EQ(RecordLine('w'), "Rx:119");
  EXPECT_EQ(RecordLine('x'), "Rx:120");
}

}  // namespace
}  // namespace protocol
