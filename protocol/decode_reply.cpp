// What a valid reply does to the window: lines, lamps, test fields, the
// caption, follow-up frames and the bills rule.
#include "app/globals.h"
#include "app/unit1.h"
#include "protocol/reply_decoder.h"
#include "protocol/text_numbers.h"
#include "toolkit/event_loop.h"

namespace app {

using namespace toolkit;

void TForm1::DecodeReply(const protocol::CommandFrame& rx, std::uint8_t id10, std::uint8_t id1) {
  const protocol::DecodedReply d = protocol::DecodeReply(rx, id10, id1);
  if (d.lampsBlack) {
    for (int n = 1; n <= 10; ++n) {
      SetLamp(n, (*d.lampsBlack)[static_cast<std::size_t>(n - 1)] ? clBlack : clRed);
    }
  }
  if (!d.valid) return;

  if (d.statusByte) {
    WriteRecordLine(protocol::RecordLine(*d.statusByte));
    // Any valid status reply disarms the status poll's watchdog.
    Timer4->SetEnabled(false);
  }
  for (const std::string& line : d.memo1) Memo1->Append(line);
  if (d.testField) {
    SetTestValue(*d.testField, d.testText);
    // Once red, a field stays red.
    if (d.testError) TestValueField(*d.testField)->SetFontColor(clRed);
  }
  if (d.testCountHigh) TestCountAccumulator = *d.testCountHigh;
  if (d.testCountLow) {
    TestCountAccumulator = protocol::AddTestCount(TestCountAccumulator, *d.testCountLow);
    Memo1->Append(protocol::TestCountLine(TestCountAccumulator));
  }
  if (d.caption) {
    SetCaption(*d.caption);
    Application().ProcessMessages();
  }
  if (d.billsDispensed) BillsRule(*d.billsDispensed);
  // Sending is the last step: nothing reads the reply after it.
  if (d.followUp) SendFrame(*d.followUp);
}

void TForm1::BillsRule(std::int32_t dispensed) {
  if (PendingCommand == 10) {
    SteppingBranch(dispensed);
    return;
  }
  const std::int32_t requested = protocol::StrToInt(EdiOutBill->Text());
  Memo1->Append(protocol::OutBillLine(dispensed, requested));
}

}  // namespace app
