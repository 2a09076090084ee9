// Throughput of the console's receive path: replies queued on a simulated
// COM1 and read by Comm1ReceiveData, with everything it does for them (the
// read, assembly, the traffic panes, the log line, decoding and the result
// pane; status replies also append to the record file). The log and the
// record file go to /dev/null, so the figures hold the system calls of their
// writes but no disk.
//
// Counters: bytes and replies per second, and line_rate_x, the bytes per
// second as a multiple of a 38400-baud line (3,840 bytes per second).
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/unit1.h"
#include "comm/comm.h"
#include "platform/paths.h"
#include "platform/simulated_port.h"
#include "protocol/frame.h"
#include "toolkit/virtual_event_loop.h"

namespace {

constexpr double kLineBytesPerSecond = 3840.0;

protocol::CommandFrame Reply(char code, std::uint8_t b4, std::uint8_t b5, std::uint8_t b6,
                             std::uint8_t b7) {
  protocol::CommandFrame f{
      protocol::STX, '0', '0', static_cast<std::uint8_t>(code), b4, b5, b6, b7, 0, protocol::ETX};
  f[8] = protocol::FrameChecksum(f);
  return f;
}

// A started console whose log and record file are /dev/null.
class Console {
 public:
  Console() {
    char folder[] = "/tmp/rm460-bench-XXXXXX";
    if (::mkdtemp(folder) == nullptr) std::abort();
    root_ = folder;
    const std::string prefix = root_ + "/prefix";
    ::mkdir(prefix.c_str(), 0755);
    ::mkdir((prefix + "/dosdevices").c_str(), 0755);
    ::mkdir((root_ + "/records").c_str(), 0755);
    ::mkdir((root_ + "/exe").c_str(), 0755);
    Link(root_ + "/records", prefix + "/dosdevices/d:");
    Link("/dev/null", root_ + "/records/RM460_Record.txt");
    Link("/dev/null", root_ + "/exe/log.txt");
    ::setenv("RM460_PREFIX", prefix.c_str(), 1);
    app::ResetProgramState();
    platform::OverrideExecutableFolder(root_ + "/exe/");
    port_->RegisterAs("COM1");
    form_ = std::make_unique<app::TForm1>(nullptr);
    form_->Created();
    form_->StartBtn->Click();
    loop_.RunFor(100);
  }

  ~Console() {
    form_.reset();
    port_->Unregister();
    app::ResetProgramState();
    for (const char* f : {"/records/RM460_Record.txt", "/exe/log.txt", "/prefix/dosdevices/d:"}) {
      ::unlink((root_ + f).c_str());
    }
    for (const char* d : {"/records", "/exe", "/prefix/dosdevices", "/prefix", ""}) {
      ::rmdir((root_ + d).c_str());
    }
  }

  // One receive call for the queued bytes.
  void Receive(const std::vector<platform::BYTE>& bytes) {
    port_->Deliver(bytes);
    form_->Comm1ReceiveData(app::Comm1);
    port_->ClearCalls();
  }

 private:
  static void Link(const std::string& target, const std::string& link) {
    if (::symlink(target.c_str(), link.c_str()) != 0) std::abort();
  }

  toolkit::VirtualEventLoop loop_;
  std::string root_;
  std::shared_ptr<platform::SimulatedPort> port_ = platform::SimulatedPort::Create();
  std::unique_ptr<app::TForm1> form_;
};

void Run(benchmark::State& state, const std::vector<protocol::CommandFrame>& mix) {
  const auto perRead = static_cast<std::size_t>(state.range(0));
  Console console;
  std::vector<platform::BYTE> bytes;
  for (std::size_t i = 0; i < perRead; ++i) {
    const auto& f = mix[i % mix.size()];
    bytes.insert(bytes.end(), f.begin(), f.end());
  }
  // Fill the panes first: the steady state drops a line for each one added.
  for (int i = 0; i < 12000; ++i) console.Receive(bytes);
  for (auto _ : state) console.Receive(bytes);
  const auto reads = static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(reads * static_cast<double>(bytes.size())));
  state.SetItemsProcessed(static_cast<std::int64_t>(reads * static_cast<double>(perRead)));
  state.counters["replies_per_s"] =
      benchmark::Counter(reads * static_cast<double>(perRead), benchmark::Counter::kIsRate);
  state.counters["line_rate_x"] = benchmark::Counter(
      reads * static_cast<double>(bytes.size()) / kLineBytesPerSecond, benchmark::Counter::kIsRate);
}

// The live DIP poll's answer: lamps only.
void BM_ReceiveLiveDip(benchmark::State& state) {
  Run(state, {Reply('x', 0x01, 0xAA, '0', '0')});
}

// What a busy session sees: status (a record-file line), counts, errors,
// DIP answers and ACKs.
void BM_ReceiveMixed(benchmark::State& state) {
  Run(state, {Reply('s', 'r', '0', '0', '0'), Reply('x', 0x01, 0xAA, '0', '0'),
              Reply('c', '0', '1', '2', '3'), Reply('E', '2', '0', '0', '0'),
              Reply('d', 0x02, 0x55, '0', '0')});
}

}  // namespace

// 1 reply per read, and 4 (one 10 ms poll's worth at 38400 baud).
BENCHMARK(BM_ReceiveLiveDip)->Arg(1)->Arg(4);
BENCHMARK(BM_ReceiveMixed)->Arg(1)->Arg(5);

BENCHMARK_MAIN();
