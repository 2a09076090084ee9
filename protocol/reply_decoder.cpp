#include "protocol/reply_decoder.h"

#include "protocol/command_table.h"
#include "protocol/condition_texts.h"

namespace protocol {
namespace {

std::string Dec(std::int64_t v) {
  return std::to_string(v);
}

// Bytes that are not digits are not rejected; they enter the sum as they are.
std::int32_t AsciiDigitsValue(const CommandFrame& rx) {
  return (rx[4] - 48) * 1000 + (rx[5] - 48) * 100 + (rx[6] - 48) * 10 + (rx[7] - 48);
}

std::array<bool, 10> Lamps(std::uint8_t b4, std::uint8_t b5) {
  return {(b4 & 0x02) != 0, (b4 & 0x01) != 0, (b5 & 0x80) != 0, (b5 & 0x40) != 0, (b5 & 0x20) != 0,
          (b5 & 0x10) != 0, (b5 & 0x08) != 0, (b5 & 0x04) != 0, (b5 & 0x02) != 0, (b5 & 0x01) != 0};
}

bool FramedAndSummed(const CommandFrame& rx) {
  return rx[0] == STX && rx[9] == ETX && FrameChecksum(rx) == rx[8];
}

void DecodeAutoTest(const CommandFrame& rx, std::uint8_t id10, std::uint8_t id1,
                    DecodedReply& out) {
  const char code = static_cast<char>(rx[3]);
  const int v = rx[6] * 256 + rx[7];
  out.testField = static_cast<TestField>(code - '0');
  switch (code) {
    case '0':
      out.testError = v == 0;
      out.testText = v == 0 ? "ERROR" : Dec(v);
      break;
    case '1':
    case '2':
      out.testText = Dec(v);
      break;
    case '3':
      out.testError = v == 0;
      out.testText = v == 0 ? "ERROR" : "OK";
      break;
    default:
      out.testText = "Sended";
      break;
  }
  if (code != '5') out.followUp = BuildAutoTestStepFrame(static_cast<char>(code + 1), id10, id1);
}

}  // namespace

DecodedReply DecodeReply(const CommandFrame& rx, std::uint8_t id10, std::uint8_t id1) {
  DecodedReply out;
  const std::uint8_t code = rx[3];

  // A corrupted live DIP reply paints nothing: 'x' skips only the ID
  // comparison, since the live poll always goes to ID "00".
  if (code == 'x' && FramedAndSummed(rx)) out.lampsBlack = Lamps(rx[4], rx[5]);

  out.valid = FramedAndSummed(rx) && rx[1] == id10 && rx[2] == id1;
  if (!out.valid) return out;

  switch (code) {
    case '0':
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
      DecodeAutoTest(rx, id10, id1, out);
      break;
    case 'E':
      if (auto text = DeviceErrorText(rx[4])) out.memo1.emplace_back(*text);
      break;
    case 'b':
      out.billsDispensed = AsciiDigitsValue(rx);
      break;
    case 'c':
      out.memo1.push_back(">> Total Count = " + Dec(AsciiDigitsValue(rx)));
      break;
    case 'd':
      out.lampsBlack = Lamps(rx[4], rx[5]);
      break;
    case 'p':
      out.memo1.emplace_back(">> Password is");
      out.memo1.push_back(Dec(rx[5]) + " " + Dec(rx[6]) + " " + Dec(rx[7]));
      break;
    case 'r':
      if (auto label = ErrorRecordLabel(rx[4]))
        out.memo1.push_back(std::string(*label) + Dec(rx[5]));
      break;
    case 's':
      out.statusByte = rx[4];
      out.memo1 = StatusLines(rx[4], rx[5], rx[6], rx[7]);
      break;
    case 'v':
      out.caption = "RM460 " + Dec(rx[4]) + "." + Dec(rx[5]) + Dec(rx[6]);
      break;
    case 'w':
      out.memo1.push_back(Dec(rx[5]) + " " + Dec(rx[6]) + " " + Dec(rx[7]));
      break;
    case 'y':
      out.testCountHigh = rx[6] * 100000 + rx[7] * 10000;
      break;
    case 'z':
      out.testCountLow = rx[4] * 1000 + rx[5] * 100 + rx[6] * 10 + rx[7];
      break;
    default:  // 'x' has set its lamps already; other codes are ignored
      break;
  }
  return out;
}

std::int32_t AddTestCount(std::int32_t accumulator, std::int32_t low) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(accumulator) +
                                   static_cast<std::uint32_t>(low));
}

std::string TestCountLine(std::int32_t accumulator) {
  return ">> Test Count = " + Dec(accumulator);
}

std::string RecordLine(std::uint8_t statusByte) {
  return "Rx:" + Dec(statusByte);
}

std::string OutBillLine(std::int32_t n, std::int32_t requested) {
  std::string line = ">> OutBill = " + Dec(n);
  if (n != requested) {
    // In 64 bits, so no requested value can overflow the difference.
    line += ";   " + Dec(std::int64_t{n} - requested) + "  bills during being dispensed";
  }
  return line;
}

std::string SteppingStopLine(std::int32_t billsRemaining) {
  return "-" + Dec(billsRemaining) + " bills during being dispensed";
}

}  // namespace protocol
