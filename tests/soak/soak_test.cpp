// A day at the console in virtual time: the live DIP poll, the status poll
// and an auto test every ten minutes against the simulated dispenser, with
// some answers corrupted or lost on the way. The console must not crash, its
// watchdog must stop the status poll only after unanswered ticks, the panes
// stay bounded, the log and the record file hold exactly the lines the
// traffic implies, and memory does not grow once the first hour is over.
//
// RM460_SOAK_HOURS sets the length of the day in virtual hours; the sanitizer
// build runs a shorter one unless told otherwise.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "comm/comm.h"
#include "protocol/reply_assembler.h"
#include "protocol/reply_decoder.h"
#include "sim/port_device.h"
#include "tests/console/console_fixture.h"
#include "toolkit/control.h"
#include "toolkit/memo.h"

namespace soak_test {
namespace {

using protocol::CommandFrame;

constexpr std::uint64_t kSecond = 1000;
constexpr std::uint64_t kMinute = 60 * kSecond;
constexpr std::uint64_t kHour = 60 * kMinute;
constexpr const char* kWatchdogLine = "xxxxxxxxxxxxxxxxxxxxxx";

#ifndef RM460_SOAK_DEFAULT_HOURS
#define RM460_SOAK_DEFAULT_HOURS 24
#endif

int SoakHours() {
  const char* text = std::getenv("RM460_SOAK_HOURS");
  const int hours = text != nullptr ? std::atoi(text) : RM460_SOAK_DEFAULT_HOURS;
  return hours >= 2 ? hours : 2;
}

// Resident memory of this process in KiB.
long ResidentKiB() {
  long pages = 0;
  long resident = 0;
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return -1;
  if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = -1;
  std::fclose(f);
  return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// An order-sensitive digest of a sequence of lines, so that what the log
// holds is compared with what the traffic implies without keeping either.
struct LineDigest {
  std::uint64_t hash = 1469598103934665603ull;
  std::uint64_t count = 0;
  void Add(const std::string& line) {
    for (unsigned char c : line) hash = (hash ^ c) * 1099511628211ull;
    hash = (hash ^ '\n') * 1099511628211ull;
    ++count;
  }
  bool operator==(const LineDigest&) const = default;
};

std::ostream& operator<<(std::ostream& out, const LineDigest& d) {
  return out << d.count << " lines, digest " << d.hash;
}

CommandFrame FromHex(const std::string& hex) {
  CommandFrame f{};
  for (std::size_t i = 0; i < protocol::FrameSize && 3 * i + 1 < hex.size(); ++i) {
    f[i] = static_cast<std::uint8_t>(std::stoi(hex.substr(3 * i, 2), nullptr, 16));
  }
  return f;
}

bool IsTickLine(const std::string& line) {
  return !line.empty() && line.rfind("Tx", 0) != 0 && line.rfind("Rx", 0) != 0 &&
         line != kWatchdogLine;
}

// Watches Memo4 as lines are added: the status poll's ticks, the valid status
// replies and the watchdog's line, in the order the console made them.
class StatusWatch : public toolkit::ControlObserver {
 public:
  void Changed(toolkit::TControl& control, toolkit::Change what) override {
    if (what != toolkit::Change::LineAdded) return;
    const std::string line = static_cast<toolkit::TMemo&>(control).LastLine();
    if (line == kWatchdogLine) {
      ++watchdogs;
      // The watchdog speaks only after three status ticks went unanswered.
      EXPECT_GE(unanswered, 3) << "watchdog " << watchdogs;
      unanswered = 0;
    } else if (line.rfind("Rx : 02 ", 0) == 0) {
      const CommandFrame rx = FromHex(line.substr(5));
      const protocol::DecodedReply d = protocol::DecodeReply(rx, '0', '0');
      if (d.valid && d.statusByte) {
        unanswered = 0;
        records.Add(protocol::RecordLine(*d.statusByte));
      }
    } else if (IsTickLine(line)) {
      ++ticks;
      // And it does not miss a fourth.
      EXPECT_LE(++unanswered, 3) << "tick " << ticks;
      records.Add("tick");
    }
  }

  int unanswered = 0;
  std::uint64_t ticks = 0;
  std::uint64_t watchdogs = 0;
  LineDigest records;  // the record file's lines, tick lines as "tick"
};

class SoakTest : public console_test::ConsoleTest {
 protected:
  SoakTest() {
    sim::Settings settings;
    settings.faults.corruptShare = 0.05;
    settings.faults.dropShare = 0.02;
    settings.faults.seed = 460;
    simDevice = std::make_unique<sim::PortDevice>(settings);
  }

  void SetUp() override {
    ConsoleTest::SetUp();
    port->Attach(simDevice.get());
  }

  // Moves what the port saw since the last call into the expected lines and
  // forgets it, so that the port's record stays small.
  void TakeTraffic() {
    for (const platform::SimulatedPort::Call& call : port->Calls()) {
      if (call.name == "WriteFile" && call.result) {
        for (std::uint8_t b : call.bytes) {
          txFrame[txPos++] = b;
          if (txPos == protocol::FrameSize) {
            expectedTx.Add("Tx : " + protocol::HexLine(txFrame));
            txPos = 0;
          }
        }
      } else if (call.name == "ReadFile" && call.result) {
        const std::string bytes(call.bytes.begin(), call.bytes.end());
        for (const protocol::ReceivedItem& item : reference.Scan(bytes)) {
          expectedRx.Add(protocol::RxLine(item));
        }
      }
    }
    port->ClearCalls();
    port->ClearWritten();
    loop.ClearRecords();
  }

  std::unique_ptr<sim::PortDevice> simDevice;
  StatusWatch watch;
  protocol::ReplyAssembler reference;
  CommandFrame txFrame{};
  std::size_t txPos = 0;
  LineDigest expectedTx;
  LineDigest expectedRx;
};

TEST_F(SoakTest, ADayOfPollingAndSelfTestsWithAFaultyLine) {
  const int hours = SoakHours();
  form->Memo4->SetObserver(&watch);
  Start();
  form->Button1->Click();  // the live DIP poll
  form->Button2->Click();  // the status poll
  std::uint64_t restarts = 0;
  std::uint64_t autoTests = 0;
  long rssHour1 = 0;

  const std::uint64_t end = static_cast<std::uint64_t>(hours) * kHour;
  for (std::uint64_t minute = 1; loop.NowMs() < end; ++minute) {
    for (int s = 0; s < 60; ++s) {
      loop.RunFor(kSecond);
      // The watchdog stopped the poll: the operator starts it again (the
      // button shows "Stop" still, so it takes two clicks).
      if (!loop.TimerRunning(*form->Timer3)) {
        form->Button2->Click();
        form->Button2->Click();
        ASSERT_TRUE(loop.TimerRunning(*form->Timer3));
        ++restarts;
      }
    }
    if (minute % 10 == 0) {
      form->BtnTest->Click();
      ++autoTests;
    }
    TakeTraffic();
    if (rssHour1 == 0 && loop.NowMs() >= kHour) rssHour1 = ResidentKiB();
  }
  form->Button1->Click();
  form->Button2->Click();
  loop.RunFor(10 * kSecond);  // the last answers and the last watchdog
  TakeTraffic();
  const long rssEnd = ResidentKiB();
  form->Memo4->SetObserver(nullptr);

  std::printf("soak: %d virtual hours, %llu status ticks, %llu watchdog stops, %llu auto tests\n",
              hours, static_cast<unsigned long long>(watch.ticks),
              static_cast<unsigned long long>(watch.watchdogs),
              static_cast<unsigned long long>(autoTests));
  std::printf("soak: %llu frames sent, %llu lines received\n",
              static_cast<unsigned long long>(expectedTx.count),
              static_cast<unsigned long long>(expectedRx.count));
  std::printf("soak: resident memory %ld KiB at hour 1, %ld KiB at hour %d\n", rssHour1, rssEnd,
              hours);

  // The faults were there and did what faults do.
  EXPECT_GT(watch.watchdogs, 0u);
  EXPECT_EQ(restarts, watch.watchdogs);
  EXPECT_GT(watch.ticks, static_cast<std::uint64_t>(hours) * 1700);
  EXPECT_TRUE(loop.Errors().empty());
  EXPECT_TRUE(loop.MessageBoxes().empty());

  for (const toolkit::TMemo* memo : {form->Memo1, form->Memo2, form->Memo3, form->Memo4}) {
    EXPECT_LE(memo->LineCount(), toolkit::PaneLineLimit) << memo->Name;
  }

  // The log: the banner, then one line per frame sent and per item received.
  LineDigest tx;
  LineDigest rx;
  std::size_t other = 0;
  {
    std::ifstream log(exeDir.File("log.txt"), std::ios::binary);
    for (std::string line; std::getline(log, line);) {
      ASSERT_FALSE(line.empty());
      ASSERT_EQ(line.back(), '\r');
      line.pop_back();
      if (line.rfind("Tx : ", 0) == 0) {
        tx.Add(line);
      } else if (line.rfind("Rx : ", 0) == 0) {
        rx.Add(line);
      } else {
        ++other;
      }
    }
  }
  EXPECT_EQ(other, 3u);  // the banner
  EXPECT_EQ(tx, expectedTx);
  EXPECT_EQ(rx, expectedRx);

  // The record file: a line per tick and per valid status reply, in order
  // (the first reply answers Start Protocol's Status, before any tick).
  LineDigest records;
  {
    std::ifstream file(prefix.path() + "/drive_d/RM460_Record.txt", std::ios::binary);
    for (std::string line; std::getline(file, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      records.Add(line.rfind("Rx:", 0) == 0 ? line : "tick");
    }
  }
  EXPECT_EQ(records, watch.records);

#if defined(__SANITIZE_ADDRESS__)
  // The sanitizer holds freed memory back on purpose: figures only.
#else
  // Everything the console keeps is bounded: after the first hour (panes
  // full, buffers at their size) the process does not grow.
  EXPECT_LE(rssEnd - rssHour1, 1024) << "KiB";
#endif
}

}  // namespace
}  // namespace soak_test
