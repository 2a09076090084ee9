// The termios backend on a real pseudo-terminal: the test holds the master
// side, the port opens the slave through a dosdevices link as "COM7".
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/comm_api.h"
#include "platform/posix_serial_port.h"
#include "tests/support/temp_dir.h"

namespace platform {
namespace {

using Bytes = std::vector<unsigned char>;
using Clock = std::chrono::steady_clock;

// Bytes cross a pseudo-terminal through a kernel worker; waits for them are
// bounded so that a fault fails the test instead of hanging it.
constexpr auto kArrival = std::chrono::seconds(5);

std::string DosDevices() {
  return std::string(std::getenv("RM460_PREFIX")) + "/dosdevices";
}

HANDLE Open(const char* name) {
  return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

class PtyPort : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[256] = {};
    int slave = -1;
    ASSERT_EQ(::openpty(&master_, &slave, name, nullptr, nullptr), 0);
    // The port under test is to be the slave's only user.
    ::close(slave);
    slavePath_ = name;
    ::mkdir(DosDevices().c_str(), 0755);
    Link("com7", slavePath_);
  }

  void TearDown() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    for (const auto& link : links_) ::unlink(link.c_str());
    CloseMaster();
  }

  void Link(const std::string& com, const std::string& target) {
    const std::string link = DosDevices() + "/" + com;
    ::unlink(link.c_str());
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    links_.push_back(link);
  }

  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

  // Opens COM7 and sets it up the way the port component does.
  void OpenConfigured(DWORD rate = 9600) {
    handle_ = Open("COM7");
    ASSERT_NE(handle_, INVALID_HANDLE_VALUE) << LastErrorText();
    ASSERT_TRUE(SetupComm(handle_, 8192, 8192));
    ASSERT_TRUE(PurgeComm(handle_, 0x0F));
    DCB dcb;
    ASSERT_TRUE(GetCommState(handle_, &dcb));
    dcb.BaudRate = rate;
    dcb.fBinary = 1;
    dcb.Parity = NOPARITY;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.ByteSize = 8;
    dcb.StopBits = ONESTOPBIT;
    ASSERT_TRUE(SetCommState(handle_, &dcb)) << LastErrorText();
  }

  void MasterWrites(const Bytes& bytes) {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // What the far side receives, up to `count` bytes.
  Bytes MasterReads(std::size_t count) {
    Bytes got;
    const auto end = Clock::now() + kArrival;
    while (got.size() < count && Clock::now() < end) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      unsigned char buffer[4096];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }

  DWORD InQueue() {
    DWORD errors = 0;
    COMSTAT stat;
    EXPECT_TRUE(ClearCommError(handle_, &errors, &stat)) << LastErrorText();
    EXPECT_EQ(errors, 0u);
    return stat.cbInQue;
  }

  void WaitForInQueue(DWORD count) {
    const auto end = Clock::now() + kArrival;
    while (InQueue() < count && Clock::now() < end) ::poll(nullptr, 0, 1);
  }

  // Reads until `count` bytes have come in through ReadFile.
  Bytes PortReads(std::size_t count) {
    Bytes got;
    const auto end = Clock::now() + kArrival;
    while (got.size() < count && Clock::now() < end) {
      unsigned char buffer[8192];
      DWORD n = 0;
      if (!ReadFile(handle_, buffer, sizeof buffer, &n, nullptr)) break;
      got.insert(got.end(), buffer, buffer + n);
      if (n == 0) ::poll(nullptr, 0, 1);
    }
    return got;
  }

  int master_ = -1;
  std::string slavePath_;
  std::vector<std::string> links_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

Bytes AllByteValues() {
  Bytes b;
  for (int i = 0; i < 256; ++i) b.push_back(static_cast<unsigned char>(i));
  return b;
}

TEST_F(PtyPort, OpensRawWithoutFlowControl) {
  handle_ = Open("COM7");
  ASSERT_NE(handle_, INVALID_HANDLE_VALUE) << LastErrorText();
  DCB dcb;
  ASSERT_TRUE(GetCommState(handle_, &dcb));
  // A fresh terminal has XON/XOFF on; binary traffic must not lose 0x11/0x13.
  EXPECT_EQ(dcb.fOutX, 0u);
  EXPECT_EQ(dcb.fInX, 0u);
  EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
  EXPECT_NE(dcb.fRtsControl, RTS_CONTROL_HANDSHAKE);
  EXPECT_NE(dcb.BaudRate, 0u);
}

TEST_F(PtyPort, EveryByteValueCrossesUnchangedBothWays) {
  OpenConfigured();
  const Bytes in = AllByteValues();
  MasterWrites(in);
  WaitForInQueue(256);
  EXPECT_EQ(InQueue(), 256u);
  EXPECT_EQ(PortReads(256), in);

  // Reversed, so that an echo of what came in would not pass for it.
  const Bytes out(in.rbegin(), in.rend());
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(handle_, out.data(), 256, &written, nullptr)) << LastErrorText();
  EXPECT_EQ(written, 256u);
  EXPECT_EQ(MasterReads(256), out);
}

TEST_F(PtyPort, PurgeEmptiesTheReceiveQueue) {
  OpenConfigured();
  MasterWrites(Bytes(100, 'x'));
  WaitForInQueue(100);
  ASSERT_EQ(InQueue(), 100u);

  ASSERT_TRUE(PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR));
  EXPECT_EQ(InQueue(), 0u);
  unsigned char buffer[16];
  DWORD n = 99;
  EXPECT_TRUE(ReadFile(handle_, buffer, sizeof buffer, &n, nullptr));
  EXPECT_EQ(n, 0u);

  // The line goes on working.
  MasterWrites({1, 2, 3});
  EXPECT_EQ(PortReads(3), (Bytes{1, 2, 3}));
}

TEST_F(PtyPort, SecondOpenIsRefusedUntilTheFirstCloses) {
  handle_ = Open("COM7");
  ASSERT_NE(handle_, INVALID_HANDLE_VALUE) << LastErrorText();

  EXPECT_EQ(Open("COM7"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_NE(LastErrorText().find(DosDevices() + "/com7"), std::string::npos) << LastErrorText();
  // Under its own name too: the lock is on the device, not on the link.
  EXPECT_EQ(Open(slavePath_.c_str()), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

  ASSERT_TRUE(CloseHandle(handle_));
  handle_ = Open("com7");
  EXPECT_NE(handle_, INVALID_HANDLE_VALUE) << LastErrorText();
}

TEST_F(PtyPort, ModemLinesFailCleanlyWhereThereAreNone) {
  OpenConfigured();
  DWORD status = 0xFFFF;
  EXPECT_FALSE(GetCommModemStatus(handle_, &status));
  EXPECT_EQ(GetLastError(), ERROR_BAD_COMMAND);
  EXPECT_NE(LastErrorText().find(slavePath_), std::string::npos) << LastErrorText();
  EXPECT_FALSE(EscapeCommFunction(handle_, SETDTR));
  EXPECT_EQ(GetLastError(), ERROR_BAD_COMMAND);
  EXPECT_FALSE(EscapeCommFunction(handle_, 77));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  // None of this harms the line.
  MasterWrites({0x55});
  EXPECT_EQ(PortReads(1), (Bytes{0x55}));
}

TEST_F(PtyPort, LineSettingsReadBackAsSet) {
  OpenConfigured();
  DCB set;
  ASSERT_TRUE(GetCommState(handle_, &set));
  set.BaudRate = 14400;  // no B-constant: set through termios2
  set.StopBits = TWOSTOPBITS;
  set.fRtsControl = RTS_CONTROL_DISABLE;
  set.fOutxCtsFlow = 1;
  set.fOutX = 1;
  set.fInX = 1;
  set.fDtrControl = DTR_CONTROL_HANDSHAKE;
  set.fOutxDsrFlow = 1;
  set.XonLim = 100;
  set.XoffLim = 200;
  set.EofChar = 0x1A;
  set.EvtChar = 0x7E;
  ASSERT_TRUE(SetCommState(handle_, &set)) << LastErrorText();
  DCB got;
  ASSERT_TRUE(GetCommState(handle_, &got));
  EXPECT_EQ(got.BaudRate, 14400u);
  EXPECT_EQ(got.StopBits, TWOSTOPBITS);
  EXPECT_EQ(got.fRtsControl, RTS_CONTROL_DISABLE);
  EXPECT_EQ(got.fOutxCtsFlow, 1u);
  EXPECT_EQ(got.fOutX, 1u);
  EXPECT_EQ(got.fInX, 1u);
  EXPECT_EQ(got.fDtrControl, DTR_CONTROL_HANDSHAKE);
  EXPECT_EQ(got.fOutxDsrFlow, 1u);
  EXPECT_EQ(got.XonLim, 100);
  EXPECT_EQ(got.XoffLim, 200);
  EXPECT_EQ(got.EofChar, 0x1A);
  EXPECT_EQ(got.EvtChar, 0x7E);

  set.BaudRate = 19200;
  set.StopBits = ONESTOPBIT;
  set.fOutxCtsFlow = 0;
  set.fOutX = 0;
  set.fInX = 0;
  ASSERT_TRUE(SetCommState(handle_, &set));
  ASSERT_TRUE(GetCommState(handle_, &got));
  EXPECT_EQ(got.BaudRate, 19200u);
  EXPECT_EQ(got.StopBits, ONESTOPBIT);
  EXPECT_EQ(got.fOutxCtsFlow, 0u);
  EXPECT_EQ(got.fOutX, 0u);

  // Rate 0 would hang the line up: refused, the line keeps its settings.
  DCB zero = set;
  zero.BaudRate = 0;
  EXPECT_FALSE(SetCommState(handle_, &zero));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  ASSERT_TRUE(GetCommState(handle_, &got));
  EXPECT_EQ(got.BaudRate, 19200u);
}

TEST_F(PtyPort, MissingOrForeignDeviceIsNotOpened) {
  const testing_support::TempDir dir;
  const std::string missing = dir.File("nothing-here");
  Link("com8", missing);
  EXPECT_EQ(Open("COM8"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_NE(LastErrorText().find(DosDevices() + "/com8"), std::string::npos) << LastErrorText();
  EXPECT_NE(LastErrorText().find("No such file or directory"), std::string::npos);

  // A plain file is no serial line.
  const std::string file = dir.File("plain");
  ::close(::open(file.c_str(), O_CREAT | O_WRONLY, 0644));
  Link("com9", file);
  EXPECT_EQ(Open("COM9"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_GEN_FAILURE);
  EXPECT_FALSE(LastErrorText().empty());
}

TEST_F(PtyPort, WriteGivesUpWhenTheLineTakesNothing) {
  // The far side never reads, so the queues fill and stay full.
  auto port = OpenPosixSerialPort(slavePath_, PosixPortOptions{20});
  ASSERT_TRUE(port) << LastErrorText();
  const Bytes lots(1 << 20, 0xA5);
  DWORD written = 0;
  EXPECT_FALSE(port->Write(lots.data(), static_cast<DWORD>(lots.size()), written));
  EXPECT_GT(written, 0u);
  EXPECT_LT(written, lots.size());
  EXPECT_NE(LastErrorText().find("timed out"), std::string::npos) << LastErrorText();
  port->Close();
}

// After the far side has gone, the first call of any kind fails, and so does
// every call after it; none of them waits.
class FarSideGone : public PtyPort, public ::testing::WithParamInterface<const char*> {};

TEST_P(FarSideGone, CallsFailWithAnError) {
  OpenConfigured();
  MasterWrites({1, 2, 3});
  WaitForInQueue(3);
  CloseMaster();

  const std::string first = GetParam();
  unsigned char buffer[64] = {};
  DWORD n = 0;
  DWORD errors = 0;
  COMSTAT stat;
  DCB dcb;
  bool ok = true;
  if (first == "ClearCommError") ok = ClearCommError(handle_, &errors, &stat);
  if (first == "ReadFile") ok = ReadFile(handle_, buffer, sizeof buffer, &n, nullptr);
  if (first == "WriteFile") ok = WriteFile(handle_, buffer, sizeof buffer, &n, nullptr);
  if (first == "GetCommState") ok = GetCommState(handle_, &dcb);
  if (first == "SetCommState") {
    DCB d;
    d.BaudRate = 9600;
    ok = SetCommState(handle_, &d);
  }
  if (first == "PurgeComm") ok = PurgeComm(handle_, PURGE_RXCLEAR);
  EXPECT_FALSE(ok);
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_REMOVED) << LastErrorText();
  EXPECT_NE(LastErrorText().find(slavePath_), std::string::npos) << LastErrorText();

  EXPECT_FALSE(ClearCommError(handle_, &errors, &stat));
  EXPECT_FALSE(ReadFile(handle_, buffer, sizeof buffer, &n, nullptr));
  EXPECT_EQ(n, 0u);
  EXPECT_FALSE(WriteFile(handle_, buffer, sizeof buffer, &n, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_REMOVED);
  EXPECT_FALSE(GetCommModemStatus(handle_, &errors));
  EXPECT_FALSE(EscapeCommFunction(handle_, SETDTR));
  EXPECT_FALSE(SetupComm(handle_, 8192, 8192));
  EXPECT_TRUE(CloseHandle(handle_));
  handle_ = INVALID_HANDLE_VALUE;
}

INSTANTIATE_TEST_SUITE_P(FirstCall, FarSideGone,
                         ::testing::Values("ClearCommError", "ReadFile", "WriteFile",
                                           "GetCommState", "SetCommState", "PurgeComm"));

}  // namespace
}  // namespace platform
