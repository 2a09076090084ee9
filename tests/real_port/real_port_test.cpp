// TComm and the comm calls on a real serial line: the POSIX backend on Linux,
// the system's own calls under Windows (Wine maps COM3 to a Linux
// pseudo-terminal). The same checks hold both backends to one behaviour.
// Bytes cross a real line here, so waits for them are bounded on the wall
// clock; the component's poll still runs in virtual time.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "comm/comm.h"
#include "platform/comm_api.h"
#include "platform/serial_backend.h"
#include "tests/real_port/com3_peer.h"
#include "tests/real_port/status_exchange.h"
#include "toolkit/virtual_event_loop.h"

namespace real_port_test {
namespace {

using comm::TComm;
using namespace platform;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Hex(const std::string& bytes) {
  return protocol::HexLine(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

class RealPort : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { failure_ = new std::string(ConnectCom3()); }
  static void TearDownTestSuite() {
    DisconnectCom3();
    delete failure_;
  }
  void SetUp() override { ASSERT_EQ(*failure_, ""); }

  // The COM3/19200 example: port list position 2, baud list position 4.
  TComm& OpenCom3() {
    TComm& comm = *new TComm(&owner, {2, 4});
    comm.SetPortOpen(true);
    EXPECT_TRUE(comm.PortOpen()) << comm.LastOpenError();
    return comm;
  }

  static void SendStatus(TComm& comm) {
    for (std::uint8_t b : StatusFrame()) EXPECT_TRUE(comm.OutputChar(static_cast<char>(b)));
  }

  // Runs the component's 10 ms poll until `done`, for at most five seconds
  // of real time while the peer answers.
  bool PollUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      loop.RunFor(10);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }

  toolkit::VirtualEventLoop loop;
  toolkit::TComponent owner{nullptr};
  static std::string* failure_;
};

std::string* RealPort::failure_ = nullptr;

TEST_F(RealPort, StatusFrameGetsItsReplyThroughThePoll) {
  ASSERT_EQ(protocol::HexLine(StatusFrame()), "02 30 30 53 30 30 30 30 75 03 ");
  TComm& comm = OpenCom3();
  ASSERT_TRUE(comm.PortOpen());

  DCB dcb;
  ASSERT_TRUE(GetCommState(comm.PortHandle(), &dcb)) << LastErrorText();
  EXPECT_EQ(dcb.BaudRate, 19200u);
  EXPECT_EQ(dcb.ByteSize, 8);
  EXPECT_EQ(dcb.Parity, NOPARITY);
  EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
  EXPECT_EQ(dcb.fBinary, 1u);

  std::string received;
  int events = 0;
  comm.SetRThreshold(1);
  comm.OnReceiveData = [&](toolkit::TObject*) {
    ++events;
    received += comm.ReadInputData();
  };
  SendStatus(comm);
  ASSERT_TRUE(PollUntil([&] { return received.size() >= 10; })) << Hex(received);
  EXPECT_EQ(Hex(received), protocol::HexLine(StatusReply()));
  EXPECT_GE(events, 1);
  EXPECT_EQ(comm.ReadCommError(), 0u);
  EXPECT_FALSE(comm.LineLost()) << comm.LineLostReason();

  // Nothing more comes, and the poll raises nothing more.
  const int before = events;
  loop.RunFor(100);
  EXPECT_EQ(events, before);
  EXPECT_EQ(comm.ReadInDataCount(), 0u);
  comm.SetPortOpen(false);
}

TEST_F(RealPort, SettingsTheApiCallsInvalidAreRefused) {
  TComm& comm = OpenCom3();
  ASSERT_TRUE(comm.PortOpen());
  const HANDLE h = comm.PortHandle();
  DCB good;
  ASSERT_TRUE(GetCommState(h, &good)) << LastErrorText();
  const struct {
    const char* name;
    void (*change)(DCB&);
  } cases[] = {
      {"5 bits, 2 stop", [](DCB& d) { d.ByteSize = 5, d.StopBits = TWOSTOPBITS; }},
      {"8 bits, 1.5 stop", [](DCB& d) { d.StopBits = ONE5STOPBITS; }},
      {"7 bits, 1.5 stop", [](DCB& d) { d.ByteSize = 7, d.StopBits = ONE5STOPBITS; }},
      {"XON is XOFF", [](DCB& d) { d.XoffChar = d.XonChar; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DCB bad = good;
    c.change(bad);
    EXPECT_FALSE(SetCommState(h, &bad));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << LastErrorText();
    DCB now;
    ASSERT_TRUE(GetCommState(h, &now)) << LastErrorText();
    EXPECT_EQ(now.ByteSize, 8);
    EXPECT_EQ(now.StopBits, ONESTOPBIT);
    EXPECT_EQ(now.BaudRate, 19200u);
  }
  comm.SetPortOpen(false);
}

TEST_F(RealPort, ClearCommErrorCountsTheQueueAndPurgeEmptiesIt) {
  TComm& comm = OpenCom3();
  ASSERT_TRUE(comm.PortOpen());
  const HANDLE h = comm.PortHandle();
  // No receive threshold: the reply stays queued.
  SendStatus(comm);
  ASSERT_TRUE(PollUntil([&] { return comm.ReadInDataCount() >= 10; }));

  DWORD errors = 0xFFFF;
  COMSTAT stat;
  ASSERT_TRUE(ClearCommError(h, &errors, &stat)) << LastErrorText();
  EXPECT_EQ(errors, 0u);
  EXPECT_EQ(stat.cbInQue, 10u);
  EXPECT_EQ(stat.cbOutQue, 0u);
  // Both results are optional.
  EXPECT_TRUE(ClearCommError(h, nullptr, nullptr)) << LastErrorText();

  comm.SetInDataCount(0);
  EXPECT_EQ(comm.ReadInDataCount(), 0u);
  EXPECT_TRUE(PurgeComm(h, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR))
      << LastErrorText();
  EXPECT_TRUE(PurgeComm(h, 0)) << LastErrorText();

  // The line goes on working after the purge.
  std::string received;
  comm.SetRThreshold(1);
  comm.OnReceiveData = [&](toolkit::TObject*) { received += comm.ReadInputData(); };
  SendStatus(comm);
  ASSERT_TRUE(PollUntil([&] { return received.size() >= 10; })) << Hex(received);
  EXPECT_EQ(Hex(received), protocol::HexLine(StatusReply()));
  comm.SetPortOpen(false);
}

TEST_F(RealPort, AnOpenPortIsNotOpenedTwice) {
  TComm& comm = OpenCom3();
  ASSERT_TRUE(comm.PortOpen());
  const HANDLE second =
      CreateFileA("COM3", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(second, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED) << LastErrorText();
  // The operator's text names the port ("COM3: ..." or ".../com3 (...)").
  EXPECT_NE(Lower(LastErrorText()).find("com3"), std::string::npos) << LastErrorText();

  TComm& other = *new TComm(&owner, {2, 4});
  other.SetPortOpen(true);
  EXPECT_FALSE(other.PortOpen());
  EXPECT_FALSE(other.LastOpenError().empty());

  // Closing releases the port to the next opener.
  comm.SetPortOpen(false);
  other.SetPortOpen(true);
  EXPECT_TRUE(other.PortOpen()) << other.LastOpenError();
  other.SetPortOpen(false);
}

TEST_F(RealPort, AClosedPortRefusesEveryCall) {
  TComm& comm = OpenCom3();
  ASSERT_TRUE(comm.PortOpen());
  const HANDLE h = comm.PortHandle();
  SendStatus(comm);
  ASSERT_TRUE(PollUntil([&] { return comm.ReadInDataCount() >= 10; }));
  const std::string block = comm.ReadInputData();
  EXPECT_EQ(Hex(block), protocol::HexLine(StatusReply()));
  comm.SetPortOpen(false);

  // The component: no handle, no output, nothing queued, the last block kept.
  EXPECT_FALSE(comm.PortOpen());
  EXPECT_EQ(comm.PortHandle(), nullptr);
  EXPECT_FALSE(comm.OutputChar(0x02));
  EXPECT_EQ(comm.ReadInDataCount(), 0u);
  EXPECT_EQ(comm.ReadInputData(), block);

  // The handle it had.
  DWORD errors = 0;
  COMSTAT stat;
  EXPECT_FALSE(ClearCommError(h, &errors, &stat));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(PurgeComm(h, PURGE_RXCLEAR));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

  // The backend itself, once closed.
  std::unique_ptr<SerialBackend> port = OpenSystemDevice("COM3");
  ASSERT_TRUE(port) << LastErrorText();
  port->Close();
  EXPECT_FALSE(port->ClearError(errors, stat));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(port->Purge(PURGE_RXCLEAR));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  DWORD n = 7;
  unsigned char byte = 0x02;
  EXPECT_FALSE(port->Write(&byte, 1, n));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(n, 0u);
  port->Close();
}

}  // namespace
}  // namespace real_port_test
