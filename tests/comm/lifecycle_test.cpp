// Construction, opening, closing and ownership of the port component.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/paths.h"
#include "tests/comm/comm_fixture.h"

namespace comm_test {
namespace {

using ::testing::ElementsAre;
using namespace comm;
using namespace platform;

struct SelectionCase {
  TCommSelection selection;
  const char* device;
  TBaudRate baud;
};

void PrintTo(const SelectionCase& c, std::ostream* os) {
  *os << "{" << c.selection.PortIndex << ", " << c.selection.BaudIndex << "}";
}

class CommSelectionTest : public CommTest, public ::testing::WithParamInterface<SelectionCase> {};

TEST_P(CommSelectionTest, ListPositionsGivePortAndSpeed) {
  const SelectionCase& c = GetParam();
  TComm& comm = Make(c.selection);
  EXPECT_EQ(comm.DeviceName(), c.device);
  EXPECT_EQ(comm.BaudRate(), c.baud);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, CommSelectionTest,
    ::testing::Values(SelectionCase{{0, 0}, "COM1", 1200}, SelectionCase{{1, 1}, "COM2", 2400},
                      SelectionCase{{2, 2}, "COM3", 4800}, SelectionCase{{3, 3}, "COM4", 9600},
                      SelectionCase{{6, 4}, "COM7", 19200}, SelectionCase{{7, 5}, "COM8", 38400},
                      // No selection, or one past the lists: COM1 and the usual 9600.
                      SelectionCase{{-1, -1}, "COM1", 9600}, SelectionCase{{8, 6}, "COM1", 9600}));

TEST_F(CommTest, NewComponentIsClosedAndInert) {
  TComm& comm = Make();
  EXPECT_FALSE(comm.PortOpen());
  EXPECT_EQ(comm.PortHandle(), nullptr);
  EXPECT_FALSE(PollRunning(comm));
  EXPECT_EQ(comm.Timer().Interval(), 10u);
  EXPECT_EQ(comm.GetHwHandShaking(), hhNone);
  EXPECT_EQ(comm.GetSwHandShaking(), shNone);
  EXPECT_EQ(comm.DataBits(), DB8);
  EXPECT_EQ(comm.Parity(), None);
  EXPECT_EQ(comm.StopBits(), SB1);
  EXPECT_EQ(comm.InputLen, 0);
  EXPECT_EQ(comm.RThreshold(), 0);
  EXPECT_FALSE(comm.GetDTRStatus());
  EXPECT_FALSE(comm.GetRTSStatus());
  EXPECT_EQ(comm.Owner(), &owner);

  comm.CloseComm();
  loop.RunFor(100);
  EXPECT_TRUE(port->Calls().empty());
}

TEST_F(CommTest, OpensCom3At19200With8N1DtrOnRtsOff) {
  DCB reported;
  reported.fDtrControl = DTR_CONTROL_HANDSHAKE;
  reported.fOutxDsrFlow = 1;
  reported.fDsrSensitivity = 1;
  reported.XonLim = 77;
  reported.XoffChar = 0x23;
  port->SetState(reported);
  TComm& comm = Make({2, 4});

  comm.SetPortOpen(true);

  ASSERT_TRUE(comm.PortOpen());
  EXPECT_NE(comm.PortHandle(), nullptr);
  EXPECT_TRUE(port->IsOpen());
  EXPECT_TRUE(PollRunning(comm));
  EXPECT_EQ(comm.LastOpenError(), "");
  EXPECT_THAT(CallNames(), ElementsAre("CreateFileA", "SetupComm", "PurgeComm", "GetCommState",
                                       "SetCommState", "EscapeCommFunction", "EscapeCommFunction"));
  EXPECT_THAT(CallsOf("SetupComm")[0].args, ElementsAre(8192u, 8192u));
  EXPECT_THAT(CallsOf("PurgeComm")[0].args, ElementsAre(0x0Fu));
  const auto escapes = CallsOf("EscapeCommFunction");
  EXPECT_THAT(escapes[0].args, ElementsAre(SETDTR));
  EXPECT_THAT(escapes[1].args, ElementsAre(CLRRTS));
  EXPECT_TRUE(port->Dtr());
  EXPECT_FALSE(port->Rts());
  EXPECT_TRUE(comm.GetDTRStatus());

  ASSERT_EQ(port->StatesWritten().size(), 1u);
  const DCB& dcb = port->StatesWritten()[0];
  EXPECT_EQ(dcb.BaudRate, 19200u);
  EXPECT_EQ(dcb.fBinary, 1u);
  EXPECT_EQ(dcb.ByteSize, 8);
  EXPECT_EQ(dcb.Parity, NOPARITY);
  EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
  EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_DISABLE);
  EXPECT_FALSE(comm.ParityCheck());
  // Fields that are not ours stay as the port reported them.
  EXPECT_EQ(dcb.fDtrControl, DTR_CONTROL_HANDSHAKE);
  EXPECT_EQ(dcb.fOutxDsrFlow, 1u);
  EXPECT_EQ(dcb.fDsrSensitivity, 1u);
  EXPECT_EQ(dcb.XonLim, 77);
  EXPECT_EQ(dcb.XoffChar, 0x23);
}

TEST_F(CommTest, Com16IsOpenedByItsName) {
  auto com16 = SimulatedPort::Create();
  com16->RegisterAs("COM16");
  TComm& comm = Make();
  comm.SetCommPort(pnCOM16);
  EXPECT_EQ(comm.DeviceName(), "COM16");

  comm.SetPortOpen(true);

  EXPECT_TRUE(comm.PortOpen());
  EXPECT_TRUE(com16->IsOpen());
  EXPECT_FALSE(port->IsOpen());
  comm.SetPortOpen(false);
  com16->Unregister();
}

TEST_F(CommTest, PortChangedWhileOpenTakesEffectAtNextOpen) {
  auto com16 = SimulatedPort::Create();
  com16->RegisterAs("COM16");
  TComm& comm = MakeOpen();

  comm.SetCommPort(pnCOM16);
  EXPECT_TRUE(port->Calls().empty());
  EXPECT_TRUE(port->IsOpen());

  comm.SetPortOpen(false);
  comm.SetPortOpen(true);
  EXPECT_FALSE(port->IsOpen());
  EXPECT_TRUE(com16->IsOpen());
  comm.SetPortOpen(false);
  com16->Unregister();
}

#if defined(_WIN32)
TEST_F(CommTest, DevicePathIsTheSystemsName) {
  TComm& comm = Make();
  comm.SetCommPort(pnCOM16);
  EXPECT_EQ(comm.DevicePath(), "COM16");
}
#else
TEST_F(CommTest, DevicePathFollowsTheComLink) {
  TComm& comm = Make();
  comm.SetCommPort(pnCOM16);
  EXPECT_EQ(comm.DevicePath(), "/dev/ttyS15");

  const std::filesystem::path folder = Prefix() + "/dosdevices";
  std::filesystem::create_directories(folder);
  std::filesystem::create_symlink("/dev/null", folder / "com16");
  EXPECT_EQ(comm.DevicePath(), (folder / "com16").string());
  std::filesystem::remove(folder / "com16");
}
#endif

// How the port refuses to open, and what makes it openable again.
class CommOpenFailureTest;
struct OpenFailureCase {
  const char* name;
  void (*refuse)(SimulatedPort&, CommOpenFailureTest&);
  void (*allow)(SimulatedPort&, CommOpenFailureTest&);
  const char* reason;
};

void PrintTo(const OpenFailureCase& c, std::ostream* os) {
  *os << c.name;
}

class CommOpenFailureTest : public CommTest, public ::testing::WithParamInterface<OpenFailureCase> {
 public:
  // Another component holding the port.
  void OpenOther() { other_ = &MakeOpen(); }
  void CloseOther() { other_->SetPortOpen(false); }

 private:
  TComm* other_ = nullptr;
};

TEST_P(CommOpenFailureTest, StaysClosedKeepsTheReasonAndCanRetry) {
  const OpenFailureCase& c = GetParam();
  c.refuse(*port, *this);
  TComm& comm = Make();
  const std::size_t statesBefore = port->StatesWritten().size();

  comm.SetPortOpen(true);

  EXPECT_FALSE(comm.PortOpen());
  EXPECT_EQ(comm.PortHandle(), nullptr);
  EXPECT_FALSE(PollRunning(comm));
  EXPECT_EQ(comm.LastOpenError(), c.reason);
  EXPECT_EQ(port->StatesWritten().size(), statesBefore);
  loop.RunFor(50);

  c.allow(*port, *this);
  comm.SetPortOpen(true);
  EXPECT_TRUE(comm.PortOpen());
  EXPECT_TRUE(PollRunning(comm));
  EXPECT_EQ(comm.LastOpenError(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Causes, CommOpenFailureTest,
    ::testing::Values(
        OpenFailureCase{
            "Missing",
            [](SimulatedPort& p, CommOpenFailureTest&) { p.SetOpenFailure(ERROR_FILE_NOT_FOUND); },
            [](SimulatedPort& p, CommOpenFailureTest&) { p.SetOpenFailure(0); },
            "No such file or directory"},
        OpenFailureCase{
            "NoPermission",
            [](SimulatedPort& p, CommOpenFailureTest&) { p.SetOpenFailure(ERROR_ACCESS_DENIED); },
            [](SimulatedPort& p, CommOpenFailureTest&) { p.SetOpenFailure(0); },
            "Permission denied"},
        OpenFailureCase{"QueuesRefused",
                        [](SimulatedPort& p, CommOpenFailureTest&) { p.SetSetupFails(true); },
                        [](SimulatedPort& p, CommOpenFailureTest&) { p.SetSetupFails(false); },
                        "The queue sizes were refused."},
        OpenFailureCase{"OpenElsewhere",
                        [](SimulatedPort&, CommOpenFailureTest& t) { t.OpenOther(); },
                        [](SimulatedPort&, CommOpenFailureTest& t) { t.CloseOther(); },
                        "Device or resource busy"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommTest, RefusedQueuesReleaseTheHandle) {
  port->SetSetupFails(true);
  TComm& comm = Make();
  comm.SetPortOpen(true);
  EXPECT_THAT(CallNames(), ElementsAre("CreateFileA", "SetupComm", "CloseHandle"));
  EXPECT_FALSE(port->IsOpen());
  EXPECT_FALSE(comm.PortOpen());
}

TEST_F(CommTest, ClosingStopsThePollAndReleasesThePort) {
  TComm& comm = MakeOpen();
  comm.SetPortOpen(false);
  EXPECT_THAT(CallNames(), ElementsAre("CloseHandle"));
  EXPECT_FALSE(comm.PortOpen());
  EXPECT_EQ(comm.PortHandle(), nullptr);
  EXPECT_FALSE(PollRunning(comm));
  EXPECT_FALSE(port->IsOpen());

  port->ClearCalls();
  comm.CloseComm();
  comm.SetPortOpen(false);
  EXPECT_TRUE(port->Calls().empty());
}

TEST_F(CommTest, DirectCloseLeavesAnIdlePoll) {
  TComm& comm = MakeOpen();
  comm.CloseComm();
  EXPECT_FALSE(comm.PortOpen());
  EXPECT_TRUE(PollRunning(comm));
  port->ClearCalls();
  loop.RunFor(100);
  EXPECT_TRUE(port->Calls().empty());
}

TEST_F(CommTest, OpeningAnOpenComponentKeepsItsPoll) {
  TComm& comm = MakeOpen();
  loop.RunFor(5);
  const auto due = loop.TimerDue(comm.Timer());

  comm.SetPortOpen(true);
  comm.OpenComm();

  EXPECT_TRUE(port->Calls().empty());
  EXPECT_TRUE(comm.PortOpen());
  EXPECT_TRUE(PollRunning(comm));
  EXPECT_EQ(loop.TimerDue(comm.Timer()), due);
}

TEST_F(CommTest, ReopensWithTheCurrentSettings) {
  TComm& comm = MakeOpen();
  comm.SetPortOpen(false);
  comm.SetBaudRate(2400);
  comm.SetPortOpen(true);
  ASSERT_TRUE(comm.PortOpen());
  EXPECT_EQ(port->StatesWritten().back().BaudRate, 2400u);
  EXPECT_TRUE(port->Dtr());
}

TEST_F(CommTest, DestroyedWithItsOwnerClosesThePort) {
  {
    toolkit::TComponent window(nullptr);
    auto* comm = new TComm(&window, {2, 4});
    comm->SetPortOpen(true);
    ASSERT_TRUE(port->IsOpen());
    port->ClearCalls();
  }
  EXPECT_THAT(CallNames(), ElementsAre("CloseHandle"));
  EXPECT_FALSE(port->IsOpen());
  loop.RunFor(100);
  EXPECT_EQ(port->Calls().size(), 1u);

  // The port is free for the next component.
  EXPECT_TRUE(MakeOpen().PortOpen());
}

TEST_F(CommTest, DestroyedAloneLeavesItsOwner) {
  TComm* comm = &MakeOpen();
  ASSERT_EQ(owner.ComponentCount(), 1);
  delete comm;
  EXPECT_EQ(owner.ComponentCount(), 0);
  EXPECT_FALSE(port->IsOpen());
}

}  // namespace
}  // namespace comm_test
