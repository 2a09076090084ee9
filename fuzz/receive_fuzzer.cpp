// Fuzzes the console's receive path as the program runs it: a started
// console on the virtual loop reads the input from a simulated COM1 in reads
// of the sizes the input chooses, each read by Comm1ReceiveData as the 10 ms
// poll calls it. Beside the sanitizers' checks it holds the console to
// its rules: the assembly position stays within a frame, every pane line is
// one the console can write, and every frame it sends is a frame of the
// command table for the ID in the window.
//
// Input layout:
//   byte 0, 1  the ID edits (Edi10th, Edi1th): '0' + b % 10 below 0xF0,
//              the byte itself up to 0xFE, an empty edit for 0xFF
//   byte 2     PendingCommand = b % 11
//   byte 3     bit 0: Debug checked; bit 1: the record file cannot be
//              written; bits 2-4: BillsRemaining
//   byte 4     the text of EdiOutBill, from a small table
//   then       reads: a length byte (1 + b % 64 bytes), then that many bytes
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/unit1.h"
#include "comm/comm.h"
#include "fuzz/console_texts.h"
#include "platform/paths.h"
#include "platform/simulated_port.h"
#include "protocol/command_table.h"
#include "protocol/frame.h"
#include "toolkit/control.h"
#include "toolkit/memo.h"
#include "toolkit/virtual_event_loop.h"

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& detail) {
  std::fprintf(stderr, "receive fuzzer: %s: [%s]\n", what.c_str(), detail.c_str());
  std::abort();
}

// Every line added to a pane, in order, as it is added.
class LineRecorder : public toolkit::ControlObserver {
 public:
  void Changed(toolkit::TControl& control, toolkit::Change what) override {
    if (what == toolkit::Change::LineAdded) {
      lines.push_back(static_cast<toolkit::TMemo&>(control).LastLine());
    }
  }
  std::vector<std::string> lines;
};

const char* const kBillCounts[] = {"1", "3", "5", "100", "9999", "0", "-2", "", "x1", " 7 "};

std::string IdText(std::uint8_t b) {
  if (b == 0xFF) return "";
  if (b >= 0xF0) return std::string(1, static_cast<char>(b));
  return std::string(1, static_cast<char>('0' + b % 10));
}

void MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) != 0) Fail("cannot make", path);
}
void MakeLink(const std::string& target, const std::string& link) {
  if (::symlink(target.c_str(), link.c_str()) != 0) Fail("cannot link", link);
}

// One console for the whole run: started once, its state set anew for each
// input. The traffic log and the record file go to /dev/null, so that a long
// run does not fill the disk; a second prefix makes the record file
// unwritable (its drive is a plain file).
class Console {
 public:
  Console() {
    char folder[] = "/tmp/rm460-fuzz-XXXXXX";
    if (::mkdtemp(folder) == nullptr) Fail("cannot make", folder);
    const std::string root = folder;
    good_ = root + "/good";
    bad_ = root + "/bad";
    for (const std::string& f : {good_, good_ + "/dosdevices", bad_, bad_ + "/dosdevices",
                                 root + "/records", root + "/exe"}) {
      MakeFolder(f);
    }
    MakeLink(root + "/records", good_ + "/dosdevices/d:");
    MakeLink("/dev/null", root + "/records/RM460_Record.txt");
    ::close(::open((root + "/not-a-folder").c_str(), O_CREAT | O_WRONLY, 0644));
    MakeLink(root + "/not-a-folder", bad_ + "/dosdevices/d:");
    MakeLink("/dev/null", root + "/exe/log.txt");

    ::setenv("RM460_PREFIX", good_.c_str(), 1);
    app::ResetProgramState();
    platform::OverrideExecutableFolder(root + "/exe/");
    port_->RegisterAs("COM1");
    form_ = std::make_unique<app::TForm1>(nullptr);
    form_->Created();
    form_->StartBtn->Click();
    loop_.RunFor(100);
    if (app::Comm1 == nullptr || !app::Comm1->PortOpen()) Fail("not started", "");
    form_->Memo1->SetObserver(&memo1_);
    form_->Memo2->SetObserver(&memo2_);
    form_->Memo3->SetObserver(&memo3_);
    form_->Memo4->SetObserver(&memo4_);
  }

  void Run(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return;
    Reset(data);
    std::vector<std::string> reads;
    for (std::size_t pos = 5; pos < size;) {
      const std::size_t want = 1 + data[pos++] % 64;
      const std::size_t n = std::min(want, size - pos);
      if (n == 0) break;
      const std::vector<platform::BYTE> bytes(data + pos, data + pos + n);
      pos += n;
      port_->Deliver(bytes);
      // What the poll does when bytes are queued; the poll itself adds
      // nothing to this path but time.
      form_->Comm1ReceiveData(app::Comm1);
      if (port_->ReadableCount() != 0) Fail("a read left bytes behind", "");
      const int framePos = app::ReplyAssembly.FramePos();
      if (framePos < 0 || framePos > static_cast<int>(protocol::FrameSize)) {
        Fail("FramePos out of range", std::to_string(framePos));
      }
      reads.push_back(protocol::HexLine(bytes.data(), bytes.size()));
    }
    Check(reads);
  }

 private:
  void Reset(const std::uint8_t* data) {
    // A successful write first, so that a failing record file is told anew.
    ::setenv("RM460_PREFIX", good_.c_str(), 1);
    form_->WriteRecordLine("");
    if ((data[3] & 2) != 0) ::setenv("RM460_PREFIX", bad_.c_str(), 1);

    form_->Edi10th->SetText(IdText(data[0]));
    form_->Edi1th->SetText(IdText(data[1]));
    app::PendingCommand = data[2] % 11;
    form_->Debug->SetChecked((data[3] & 1) != 0);
    app::BillsRemaining = (data[3] >> 2) & 7;
    billCount_ = kBillCounts[data[4] % std::size(kBillCounts)];
    form_->EdiOutBill->SetText(billCount_);
    app::ReplyAssembly.Reset();
    app::TestCountAccumulator = 0;
    form_->Timer2->SetEnabled(false);

    for (toolkit::TMemo* m : {form_->Memo1, form_->Memo2, form_->Memo3, form_->Memo4}) m->Clear();
    for (LineRecorder* r : {&memo1_, &memo2_, &memo3_, &memo4_}) r->lines.clear();
    port_->ClearWritten();
    port_->ClearCalls();
    loop_.ClearRecords();
  }

  void Check(const std::vector<std::string>& reads) {
    for (const std::string& line : memo1_.lines) {
      if (!fuzz::IsResultLine(line)) Fail("not a result line", line);
    }
    for (const std::string& line : memo2_.lines) {
      if (!fuzz::IsReceivedLine(line)) Fail("not a received line", line);
    }
    // The debug dump: one line per read, the read's bytes.
    if (form_->Debug->Checked() ? memo3_.lines != reads : !memo3_.lines.empty()) {
      Fail("debug dump differs from the reads", std::to_string(memo3_.lines.size()));
    }
    // Memo4: the received lines as in Memo2, and a "Tx : " line per frame sent.
    std::vector<std::string> received;
    std::vector<std::string> sent;
    for (const std::string& line : memo4_.lines) {
      (line.rfind("Tx : ", 0) == 0 ? sent : received).push_back(line);
    }
    if (received != memo2_.lines) Fail("Memo4 and Memo2 differ", "");

    const std::vector<platform::BYTE>& written = port_->Written();
    if (written.size() != sent.size() * protocol::FrameSize) {
      Fail("bytes written are not the frames logged", std::to_string(written.size()));
    }
    const std::uint8_t id10 = form_->IdTens();
    const std::uint8_t id1 = form_->IdUnits();
    for (std::size_t i = 0; i < sent.size(); ++i) {
      protocol::CommandFrame f{};
      std::copy_n(written.begin() + static_cast<long>(i * protocol::FrameSize), f.size(),
                  f.begin());
      const std::string hex = protocol::HexLine(f);
      if (sent[i] != "Tx : " + hex) Fail("logged frame differs from the one written", hex);
      if (f[0] != protocol::STX || f[9] != protocol::ETX || f[8] != protocol::FrameChecksum(f)) {
        Fail("malformed frame", hex);
      }
      if (f[1] != id10 || f[2] != id1) Fail("frame for another ID", hex);
      if (!InCommandTable(f)) Fail("frame outside the command table", hex);
    }

    for (const std::string& error : loop_.Errors()) {
      // Only the bill count edit is converted on this path.
      if (error != "'" + billCount_ + "' is not a valid integer value") Fail("error shown", error);
    }
  }

  static bool InCommandTable(const protocol::CommandFrame& f) {
    const std::string field(f.begin() + 3, f.begin() + 8);
    for (const protocol::CommandSpec& spec : protocol::CommandTable()) {
      if (field == spec.field) return true;
    }
    // The auto test's steps.
    return field[0] >= '0' && field[0] <= '5' && field.substr(1) == "0000";
  }

  toolkit::VirtualEventLoop loop_;
  std::shared_ptr<platform::SimulatedPort> port_ = platform::SimulatedPort::Create();
  std::unique_ptr<app::TForm1> form_;
  LineRecorder memo1_, memo2_, memo3_, memo4_;
  std::string good_, bad_;
  std::string billCount_;
};

// The matcher must accept what the console writes and refuse what it does
// not, or the checks above prove nothing.
void CheckMatcher() {
  for (const char* yes :
       {"Out Bill ...OK", "Protocol failure...", "Chain", "-MOTOR Error    3", "Error...\x01",
        ">> Total Count = -53328", ">> Password is", "0 255 7", ">> Test Count = 123456",
        ">> OutBill = 3", ">> OutBill = 3;   -2  bills during being dispensed",
        "-4 bills during being dispensed", "12", "_CLEAR Key [ LOCK ]",
        "Record file D://RM460_Record.txt cannot be written: Not a directory"}) {
    if (!fuzz::IsResultLine(yes)) Fail("matcher refuses", yes);
  }
  for (const char* no : {"", "Out Bill ..OK", "-MOTOR Error   3", "-MOTOR Error    256", "Error...",
                         ">> Total Count = 01", "0 256 7", "1 2",
                         ">> OutBill = 3;   0  bills during being dispensed", "007", "Ready",
                         "Busy... ", "Rx : 06"}) {
    if (fuzz::IsResultLine(no)) Fail("matcher accepts", no);
  }
  if (!fuzz::IsReceivedLine("Rx : 02 30 30 73 72 30 30 30 7A 03 ") ||
      fuzz::IsReceivedLine("Rx : 02 30 30 73 72 30 30 30 7a 03 ") ||
      fuzz::IsReceivedLine("Rx : 02 30 30 73 72 30 30 30 7A 04 ")) {
    Fail("received-line matcher", "");
  }
}

Console* console = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  CheckMatcher();
  console = new Console();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  console->Run(data, size);
  return 0;
}
