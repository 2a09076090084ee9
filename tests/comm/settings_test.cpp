// Line settings as the driver sees them, and the DTR and RTS lines.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "tests/comm/comm_fixture.h"

namespace comm_test {
namespace {

using ::testing::ElementsAre;
using namespace comm;
using namespace platform;

// A setting, what the port reported before, and the fields then written.
struct DcbCase {
  const char* name;
  std::function<void(TComm&)> set;
  std::function<void(DCB&)> reported;
  std::function<void(const DCB&)> check;
  bool parityCheck = false;
  // A different value held before the setting, where the case goes back to a default.
  std::function<void(TComm&)> prepare = nullptr;
};

void PrintTo(const DcbCase& c, std::ostream* os) {
  *os << c.name;
}

class CommDcbTest : public CommTest, public ::testing::WithParamInterface<DcbCase> {};

// Applied before the open and while open: both write the same fields.
TEST_P(CommDcbTest, WritesTheSettingIntoTheDcb) {
  const DcbCase& c = GetParam();
  DCB reported;
  if (c.reported) c.reported(reported);

  port->SetState(reported);
  TComm& before = Make();
  if (c.prepare) c.prepare(before);
  c.set(before);
  before.SetPortOpen(true);
  ASSERT_EQ(port->StatesWritten().size(), 1u);
  c.check(port->StatesWritten().back());
  EXPECT_EQ(before.ParityCheck(), c.parityCheck);
  before.SetPortOpen(false);

  port->SetState(reported);
  TComm& during = Make();
  if (c.prepare) c.prepare(during);
  during.SetPortOpen(true);
  port->SetState(reported);
  port->ClearCalls();
  c.set(during);
  EXPECT_THAT(CallNames(), ElementsAre("GetCommState", "SetCommState"));
  c.check(port->StatesWritten().back());
  EXPECT_EQ(during.ParityCheck(), c.parityCheck);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, CommDcbTest,
    ::testing::Values(
        DcbCase{"Baud115200", [](TComm& c) { c.SetBaudRate(115200); }, nullptr,
                [](const DCB& d) { EXPECT_EQ(d.BaudRate, 115200u); }},
        DcbCase{"DataBits5", [](TComm& c) { c.SetDataBits(DB5); }, nullptr,
                [](const DCB& d) { EXPECT_EQ(d.ByteSize, 5); }},
        DcbCase{"DataBits7", [](TComm& c) { c.SetDataBits(DB7); }, nullptr,
                [](const DCB& d) { EXPECT_EQ(d.ByteSize, 7); }},
        DcbCase{"StopBits1_5", [](TComm& c) { c.SetStopBits(SB1_5); }, nullptr,
                [](const DCB& d) { EXPECT_EQ(d.StopBits, ONE5STOPBITS); }},
        DcbCase{"StopBits2", [](TComm& c) { c.SetStopBits(SB2); }, nullptr,
                [](const DCB& d) { EXPECT_EQ(d.StopBits, TWOSTOPBITS); }},
        DcbCase{"ParityOdd", [](TComm& c) { c.SetParity(Odd); }, [](DCB& d) { d.fParity = 1; },
                [](const DCB& d) {
                  EXPECT_EQ(d.Parity, ODDPARITY);
                  EXPECT_EQ(d.fParity, 0u);
                },
                true},
        DcbCase{"ParitySpace", [](TComm& c) { c.SetParity(Space); }, [](DCB& d) { d.fParity = 1; },
                [](const DCB& d) {
                  EXPECT_EQ(d.Parity, SPACEPARITY);
                  EXPECT_EQ(d.fParity, 0u);
                },
                true},
        // No parity leaves the check bit as the port had it.
        DcbCase{"ParityNoneKeepsCheckBit", [](TComm& c) { c.SetParity(None); },
                [](DCB& d) { d.fParity = 1; },
                [](const DCB& d) {
                  EXPECT_EQ(d.Parity, NOPARITY);
                  EXPECT_EQ(d.fParity, 1u);
                },
                false, [](TComm& c) { c.SetParity(Even); }},
        DcbCase{"RtsOn", [](TComm& c) { c.SetHwHandShaking(hhNoneRTSON); }, nullptr,
                [](const DCB& d) {
                  EXPECT_EQ(d.fRtsControl, RTS_CONTROL_ENABLE);
                  EXPECT_EQ(d.fOutxCtsFlow, 0u);
                }},
        DcbCase{"RtsCts", [](TComm& c) { c.SetHwHandShaking(hhRTSCTS); }, nullptr,
                [](const DCB& d) {
                  EXPECT_EQ(d.fRtsControl, RTS_CONTROL_HANDSHAKE);
                  EXPECT_EQ(d.fOutxCtsFlow, 1u);
                }},
        DcbCase{"XonXoff", [](TComm& c) { c.SetSwHandShaking(shXonXoff); }, nullptr,
                [](const DCB& d) {
                  EXPECT_EQ(d.fOutX, 1u);
                  EXPECT_EQ(d.fInX, 1u);
                }},
        // Without software handshaking the port's own XON/XOFF bits stay.
        DcbCase{"NoXonXoffKeepsPortBits", [](TComm& c) { c.SetSwHandShaking(shNone); },
                [](DCB& d) { d.fOutX = 1; },
                [](const DCB& d) {
                  EXPECT_EQ(d.fOutX, 1u);
                  EXPECT_EQ(d.fInX, 0u);
                },
                false, [](TComm& c) { c.SetSwHandShaking(shXonXoff); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommTest, RtsCtsToNoneKeepsThePortsCtsFlow) {
  TComm& comm = Make();
  comm.SetHwHandShaking(hhRTSCTS);
  comm.SetPortOpen(true);
  ASSERT_EQ(port->State().fOutxCtsFlow, 1u);

  comm.SetHwHandShaking(hhNone);

  EXPECT_EQ(port->State().fRtsControl, RTS_CONTROL_DISABLE);
  EXPECT_EQ(port->State().fOutxCtsFlow, 1u);
}

TEST_F(CommTest, UnchangedSettingsMakeNoDriverCall) {
  TComm& comm = MakeOpen();
  comm.SetBaudRate(19200);
  comm.SetHwHandShaking(hhNone);
  comm.SetSwHandShaking(shNone);
  comm.SetDataBits(DB8);
  comm.SetParity(None);
  comm.SetStopBits(SB1);
  comm.SetCommPort(pnCOM3);
  comm.SetRThreshold(1);
  EXPECT_TRUE(port->Calls().empty());
}

TEST_F(CommTest, SettingsWhileClosedAreOnlyStored) {
  TComm& comm = Make();
  comm.SetBaudRate(4800);
  comm.SetDataBits(DB7);
  comm.SetParity(Even);
  comm.SetDTRStatus(false);
  comm.SetRTSStatus(true);
  EXPECT_TRUE(port->Calls().empty());
  EXPECT_EQ(comm.BaudRate(), 4800);
  EXPECT_TRUE(comm.GetRTSStatus());

  comm.SetPortOpen(true);
  EXPECT_EQ(port->StatesWritten().back().BaudRate, 4800u);
  EXPECT_EQ(port->StatesWritten().back().ByteSize, 7);
  EXPECT_EQ(port->StatesWritten().back().Parity, EVENPARITY);
}

// The RTS request goes out after the RTS mode, so it has the last word.
TEST_F(CommTest, RtsRequestIsAppliedAfterTheLineSettings) {
  TComm& comm = Make();
  comm.SetHwHandShaking(hhNoneRTSON);
  comm.SetPortOpen(true);

  EXPECT_EQ(port->StatesWritten().back().fRtsControl, RTS_CONTROL_ENABLE);
  EXPECT_THAT(CallNames(), ElementsAre("CreateFileA", "SetupComm", "PurgeComm", "GetCommState",
                                       "SetCommState", "EscapeCommFunction", "EscapeCommFunction"));
  EXPECT_THAT(port->Calls().back().args, ElementsAre(CLRRTS));
  EXPECT_FALSE(port->Rts());
}

TEST_F(CommTest, OpenForcesDtrOnAndAppliesTheStoredRts) {
  TComm& comm = Make();
  comm.SetDTRStatus(false);
  comm.SetRTSStatus(true);
  comm.SetPortOpen(true);

  const auto escapes = CallsOf("EscapeCommFunction");
  ASSERT_EQ(escapes.size(), 2u);
  EXPECT_THAT(escapes[0].args, ElementsAre(SETDTR));
  EXPECT_THAT(escapes[1].args, ElementsAre(SETRTS));
  EXPECT_TRUE(comm.GetDTRStatus());
  EXPECT_TRUE(port->Dtr());
  EXPECT_TRUE(port->Rts());
}

TEST_F(CommTest, LinesFollowRequestsWhileOpen) {
  TComm& comm = MakeOpen();
  comm.SetDTRStatus(false);
  comm.SetRTSStatus(true);
  EXPECT_FALSE(port->Dtr());
  EXPECT_TRUE(port->Rts());
  comm.SetDTRStatus(true);
  comm.SetRTSStatus(false);
  EXPECT_TRUE(port->Dtr());
  EXPECT_FALSE(port->Rts());

  std::vector<DWORD> codes;
  for (const auto& call : CallsOf("EscapeCommFunction")) codes.push_back(call.args[0]);
  EXPECT_THAT(codes, ElementsAre(CLRDTR, SETRTS, SETDTR, CLRRTS));
}

}  // namespace
}  // namespace comm_test
