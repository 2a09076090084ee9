// "Out Bill One": the bills go out one at a time, with a pause between them
// and a timeout warning for a step that gets no count reply.
#include <string>

#include "app/globals.h"
#include "app/unit1.h"
#include "protocol/command_table.h"
#include "protocol/reply_decoder.h"
#include "protocol/text_numbers.h"
#include "toolkit/event_loop.h"

namespace app {

namespace {
constexpr std::uint32_t SteppingCommand = 10;
}

void TForm1::OutBtnStepClick(TObject*) {
  if (ConsumeSpaceKeyLatch()) return;
  const std::string text = EdiOutBill->Text();
  if (text.empty()) return;
  const std::int32_t count = protocol::StrToInt(text);
  if (count <= 0) return;
  BillsRemaining = count;
  SendFrame(protocol::BuildCommandFrame(protocol::Command::OutBillOne, IdTens(), IdUnits()));
  PendingCommand = SteppingCommand;
  Timer2->SetEnabled(true);
}

void TForm1::SteppingBranch(std::int32_t dispensed) {
  Timer2->SetEnabled(false);
  if (dispensed != 1) {
    Memo1->Append(protocol::SteppingStopLine(BillsRemaining));
    return;
  }
  BillsRemaining -= 1;
  if (BillsRemaining <= 0) return;
  const std::int32_t pause = protocol::StrToInt(Edit1->Text());
  // A negative pause means none: taken as an unsigned count it would block
  // the console for weeks.
  if (pause > 0) toolkit::Application().Sleep(static_cast<std::uint32_t>(pause));
  Memo1->Append(std::to_string(BillsRemaining));
  Timer2->SetEnabled(true);
  SendFrame(protocol::BuildCommandFrame(protocol::Command::OutBillOne, IdTens(), IdUnits()));
  PendingCommand = SteppingCommand;
}

void TForm1::Timer2Timer(TObject*) {
  Timer2->SetEnabled(false);
  toolkit::Application().MessageBox(std::to_string(BillsRemaining) + " bills does not out",
                                    "Time Out");
}

}  // namespace app
