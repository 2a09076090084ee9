// Start Protocol and End Protocol.
#include <filesystem>
#include <system_error>

#include "app/globals.h"
#include "app/unit1.h"
#include "comm/comm.h"
#include "platform/clock.h"
#include "platform/date_format.h"
#include "platform/paths.h"

namespace app {

using namespace toolkit;

namespace {

const char* const BannerRule = "===================";

}  // namespace

void TForm1::StartBtnClick(TObject* Sender) {
  if (ConsumeSpaceKeyLatch()) return;

  // The date is read before the time, so a start at midnight can pair the
  // old date with a time just after it.
  const platform::LocalDateTime date = platform::Now();
  const platform::LocalDateTime time = platform::Now();
  const std::string stamp =
      platform::FormatYearMonthDay(date) + " " + platform::FormatHourMinuteSecond(time);

  LogFilePath = platform::ExecutableFolder() + "log.txt";
  std::string reason;
  if (!LogFile.Open(LogFilePath, &reason)) {
    // An installed console cannot write beside its executable: the log then
    // goes under the prefix, and the operator is told where it is.
    const std::string failedPath = LogFilePath;
    const std::string prefix = platform::Prefix();
    std::error_code ignored;
    std::filesystem::create_directories(prefix, ignored);
    LogFilePath = prefix + "/log.txt";
    std::string fallbackReason;
    if (LogFile.Open(LogFilePath, &fallbackReason)) {
      Memo1->Append("Traffic log is " + LogFilePath + " (" + failedPath + ": " + reason + ")");
    } else {
      Memo1->Append("Traffic log cannot be opened: " + failedPath + ": " + reason);
      LogFilePath = failedPath;
    }
  }
  LogFile.Write(std::string(BannerRule) + "\n" + stamp + "\n" + BannerRule + "\n");
  LogFile.Flush();

  // Half a reply left from the previous connection must not corrupt the
  // first reply of this one.
  ReplyAssembly.Reset();

  Comm1 = new comm::TComm(this, {ComboBox1->ItemIndex(), ComboBox2->ItemIndex()});
  if (!Comm1->PortOpen()) {
    Comm1->SetPortOpen(true);
    if (!Comm1->PortOpen()) {
      // Everything goes on as if connected, but the operator learns why no
      // answer will come.
      Memo1->Append(Comm1->DeviceName() + " (" + Comm1->DevicePath() +
                    ") cannot be opened: " + Comm1->LastOpenError());
    }
    Comm1->SetRThreshold(1);
    Comm1->OnReceiveData = [this](TObject* s) { Comm1ReceiveData(s); };
    comm::TComm* component = Comm1;
    Comm1->OnLineLost = [this, component](TObject*) {
      Memo1->Append(component->DeviceName() + " stopped working: " + component->LineLostReason());
    };
    StatusBtnClick(Sender);
  }
  SetStartedState();
}

void TForm1::EndBtnClick(TObject*) {
  if (ConsumeSpaceKeyLatch()) return;
  if (Comm1 != nullptr) Comm1->SetPortOpen(false);
  SetEndedState();
  SetCaption("");
  Memo1->Clear();
  Memo2->Clear();
  for (int n = 1; n <= 10; ++n) SetLamp(n, clAppWorkSpace);
  LogFile.Close();
}

}  // namespace app
