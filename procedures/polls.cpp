// The two repeating polls: the status poll every 2 seconds with its
// watchdog, and the live DIP-switch poll every second.
#include "app/globals.h"
#include "app/unit1.h"
#include "platform/clock.h"
#include "platform/date_format.h"
#include "protocol/command_table.h"

namespace app {

void TForm1::Button2Click(TObject*) {
  if (StatusButtonShowsStart) {
    Timer3->SetEnabled(true);
    Button2->SetCaption("2 seconds Status - Stop");
  } else {
    Timer3->SetEnabled(false);
    Button2->SetCaption("2 seconds Status - Start");
  }
  StatusButtonShowsStart = !StatusButtonShowsStart;
}

void TForm1::Timer3Timer(TObject* Sender) {
  // A running watchdog keeps its countdown; a stopped one starts 6 seconds.
  Timer4->SetEnabled(true);
  const platform::LocalDateTime date = platform::Now();
  const platform::LocalDateTime time = platform::Now();
  const std::string line = platform::ShortDateString(date) + " " + platform::LongTimeString(time);
  Memo4->Append(line);
  WriteRecordLine(line);
  StatusBtnClick(Sender);
  if (++StatusTickCount > 10) {
    Memo4->Clear();
    Memo1->Clear();
    Memo2->Clear();
    StatusTickCount = 0;
  }
}

void TForm1::Timer4Timer(TObject*) {
  Timer4->SetEnabled(false);
  Timer3->SetEnabled(false);
  Memo4->Append("xxxxxxxxxxxxxxxxxxxxxx");
}

void TForm1::Button1Click(TObject*) {
  if (DipButtonShowsStop) {
    DipPollActive = false;
    DipButtonShowsStop = false;
    Button1->SetCaption("DIP SWITCH");
    return;
  }
  // The poll is switched on before the guard: a swallowed start click still
  // starts the timed sends.
  DipPollActive = true;
  if (ConsumeSpaceKeyLatch()) return;
  SendFrame(protocol::BuildCommandFrame(protocol::Command::LivePoll, IdTens(), IdUnits()));
  DipButtonShowsStop = true;
  Button1->SetCaption("Stop");
}

void TForm1::Timer1Timer(TObject*) {
  if (!DipPollActive) return;
  SendFrame(protocol::BuildCommandFrame(protocol::Command::LivePoll, IdTens(), IdUnits()));
}

}  // namespace app
