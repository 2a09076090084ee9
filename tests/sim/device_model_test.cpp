#include "sim/device_model.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::Command;
using sim_test::Reply;
using sim_test::Seen;
using sim_test::Send;

constexpr std::uint64_t T0 = 1000;  // when the command's last byte arrives
const std::string Ack = "06";
const std::string Failure = "0A";

struct CommandCase {
  const char* field;
  std::function<void(DeviceState&)> setUp;
  std::vector<Seen> answers;  // due times relative to T0
  std::function<void(const DeviceState&)> check;
};

void Nothing(DeviceState&) {}
void NoCheck(const DeviceState&) {}

class EveryCommand : public testing::TestWithParam<CommandCase> {};

TEST_P(EveryCommand, AnswersAsTheConsoleDecodes) {
  const CommandCase& c = GetParam();
  DeviceModel model;
  c.setUp(model.state());
  std::vector<Seen> expected = c.answers;
  for (Seen& s : expected) s.dueMs += T0;
  EXPECT_EQ(Send(model, Command(c.field), T0), expected) << c.field;
  c.check(model.state());
}

INSTANTIATE_TEST_SUITE_P(
    Table, EveryCommand,
    testing::Values(
        // The first Status of a session is followed by the firmware version.
        CommandCase{"S0000",
                    Nothing,
                    {{"02 30 30 73 72 30 30 30 D7 03", 25}, {Reply("00", 'v', 1, 8, 0, 0), 55}},
                    NoCheck},
        CommandCase{
            "C0000", [](DeviceState& s) { s.total = 123; }, {{Reply('c', "0123"), 25}}, NoCheck},
        // All switches off: every lamp bit set.
        CommandCase{"D0000", Nothing, {{Reply("00", 'd', 0x03, 0xFF, '0', '0'), 25}}, NoCheck},
        // Switch 1 on clears B4 0x02, switch 2 on clears 0x01, switch 3 on 0x80 of B5, 10 on 0x01.
        CommandCase{"X0000",
                    [](DeviceState& s) {
                      s.dipOn = {true, false, true, false, false, false, false, false, false, true};
                    },
                    {{Reply("00", 'x', 0x01, 0x7E, '0', '0'), 25}},
                    NoCheck},
        CommandCase{"D0000",
                    [](DeviceState& s) {
                      s.dipOn = {false, true,  false, false, false,
                                 false, false, false, false, false};
                    },
                    {{Reply("00", 'd', 0x02, 0xFF, '0', '0'), 25}},
                    NoCheck},
        CommandCase{"P0000",
                    [](DeviceState& s) {
                      s.password = {7, 200, 0};
                      s.passwordEnabled = true;
                    },
                    {{Reply("00", 'p', '1', 7, 200, 0), 25}},
                    NoCheck},
        CommandCase{"T0000",
                    [](DeviceState& s) { s.billRecord = 123456; },
                    {{Reply("00", 'y', 0, 0, 1, 2), 25}, {Reply("00", 'z', 3, 4, 5, 6), 55}},
                    NoCheck},
        CommandCase{"I0001",
                    [](DeviceState& s) {
                      s.total = 40;
                      s.error = '2';
                    },
                    {{Ack, 5}},
                    [](const DeviceState& s) {
                      EXPECT_EQ(s.total, 0);
                      EXPECT_EQ(s.error, '2');
                    }},
        CommandCase{"I0002",
                    [](DeviceState& s) {
                      s.total = 40;
                      s.error = '2';
                    },
                    {{Ack, 5}},
                    [](const DeviceState& s) {
                      EXPECT_EQ(s.total, 40);
                      EXPECT_EQ(s.error, 0);
                    }},
        CommandCase{"I0003",
                    [](DeviceState& s) {
                      s.total = 40;
                      s.error = '2';
                    },
                    {{Ack, 5}},
                    [](const DeviceState& s) {
                      EXPECT_EQ(s.total, 0);
                      EXPECT_EQ(s.error, 0);
                    }},
        CommandCase{"K1010",
                    Nothing,
                    {{Ack, 5}},
                    [](const DeviceState& s) {
                      EXPECT_TRUE(s.startKeyLocked);
                      EXPECT_TRUE(s.clearKeyLocked);
                    }},
        CommandCase{"K0000",
                    [](DeviceState& s) { s.startKeyLocked = s.clearKeyLocked = true; },
                    {{Ack, 5}},
                    [](const DeviceState& s) {
                      EXPECT_FALSE(s.startKeyLocked);
                      EXPECT_FALSE(s.clearKeyLocked);
                    }},
        CommandCase{"U0000",
                    [](DeviceState& s) { s.errorRecord[3] = 9; },
                    {{Ack, 5}},
                    [](const DeviceState& s) { EXPECT_EQ(s.errorRecord[3], 0); }},
        CommandCase{"A0000", Nothing, {{Ack, 5}}, NoCheck},
        CommandCase{"71000",
                    Nothing,
                    {{Ack, 5}},
                    [](const DeviceState& s) { EXPECT_TRUE(s.passwordEnabled); }},
        CommandCase{"70000",
                    [](DeviceState& s) { s.passwordEnabled = true; },
                    {{Ack, 5}},
                    [](const DeviceState& s) { EXPECT_FALSE(s.passwordEnabled); }},
        // Powerful Out Bill: acknowledged, one bill goes out, no reply frame.
        CommandCase{"60000",
                    Nothing,
                    {{Ack, 5}},
                    [](const DeviceState& s) {
                      EXPECT_EQ(s.total, 1);
                      EXPECT_EQ(s.stack, 499);
                    }},
        CommandCase{"B0001",
                    Nothing,
                    {{Ack, 5}, {Reply('b', "0001"), 5 + 250 + 25}},
                    [](const DeviceState& s) {
                      EXPECT_EQ(s.total, 1);
                      EXPECT_EQ(s.billRecord, 1u);
                    }},
        // Self test: 16-bit values in B6 (high) and B7.
        CommandCase{"00000", Nothing, {{Reply("00", '0', '0', '0', 0x05, 0xC8), 150}}, NoCheck},
        CommandCase{"10000", Nothing, {{Reply("00", '1', '0', '0', 0x02, 0x00), 150}}, NoCheck},
        CommandCase{"20000", Nothing, {{Reply("00", '2', '0', '0', 0x01, 0xF2), 150}}, NoCheck},
        CommandCase{"30000", Nothing, {{Reply("00", '3', '0', '0', 0x00, 0x24), 150}}, NoCheck},
        CommandCase{"30000",
                    [](DeviceState& s) { s.encoder = 0; },
                    {{Reply("00", '3', '0', '0', 0, 0), 150}},
                    NoCheck},
        CommandCase{"40000", Nothing, {{Reply("00", '4', '0', '0', 0, 0), 150}}, NoCheck},
        CommandCase{"50000", Nothing, {{Reply("00", '5', '0', '0', 0, 0), 150}}, NoCheck},
        // Commands the device does not know get the failure byte.
        CommandCase{"Z0000", Nothing, {{Failure, 5}}, NoCheck},
        CommandCase{"I0004",
                    [](DeviceState& s) { s.total = 40; },
                    {{Failure, 5}},
                    [](const DeviceState& s) { EXPECT_EQ(s.total, 40); }},
        CommandCase{"B00x1", Nothing, {{Failure, 5}}, [](const DeviceState& s) {
                      EXPECT_EQ(s.total, 0);
                    }}));

TEST(DeviceModel, ErrorRecordIsOneReplyPerEntry) {
  DeviceModel model;
  model.state().errorRecord[2] = 3;    // 22, motor
  model.state().errorRecord[11] = 10;  // 31, left IR dirty
  const auto seen = Send(model, Command("R0000"), T0);
  ASSERT_EQ(seen.size(), 12u);
  for (std::size_t i = 0; i < 12; ++i) {
    const std::uint8_t count = i == 2 ? 3 : i == 11 ? 10 : 0;
    EXPECT_EQ(seen[i], (Seen{Reply("00", 'r', static_cast<std::uint8_t>(20 + i), count, '0', '0'),
                             T0 + 25 + 30 * i}));
  }
}

TEST(DeviceModel, StatusShowsErrorTestModeAndKeys) {
  DeviceModel model;
  Send(model, Command("S0000"), 0);  // the session's first Status, with its version reply
  model.state().error = '7';
  EXPECT_EQ(Send(model, Command("S0000"), T0), (std::vector<Seen>{{Reply('s', "e700"), T0 + 25}}));
  model.state().error = 0;
  model.state().testMode = true;
  Send(model, Command("K1010"), T0);
  EXPECT_EQ(Send(model, Command("S0000"), 2 * T0),
            (std::vector<Seen>{{Reply('s', "t011"), 2 * T0 + 25}}));
}

TEST(DeviceModel, VersionFollowsTheFirstStatusOfEachSession) {
  DeviceModel model;
  EXPECT_EQ(Send(model, Command("S0000"), 0).size(), 2u);
  EXPECT_EQ(Send(model, Command("S0000"), T0).size(), 1u);
  model.StartSession();
  const auto seen = Send(model, Command("S0000"), 2 * T0);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].hex, Reply("00", 'v', 1, 8, 0, 0));
}

TEST(DeviceModel, AnswersOnlyItsOwnIdAndTheLivePollToZeroZero) {
  DeviceModel model;
  model.state().id = "07";
  Send(model, Command("S0000", "07"), 0);
  EXPECT_TRUE(Send(model, Command("S0000", "00"), T0).empty());
  EXPECT_TRUE(Send(model, Command("I0001", "08"), T0).empty());
  EXPECT_EQ(Send(model, Command("S0000", "07"), T0),
            (std::vector<Seen>{{Reply("07", 's', 'r', '0', '0', '0'), T0 + 25}}));
  // The live poll goes to "00" and is answered as "00"; a 'd' read is not.
  EXPECT_EQ(Send(model, Command("X0000", "00"), 2 * T0),
            (std::vector<Seen>{{Reply("00", 'x', 0x03, 0xFF, '0', '0'), 2 * T0 + 25}}));
  EXPECT_TRUE(Send(model, Command("D0000", "00"), 2 * T0).empty());
}

TEST(DeviceModel, BadChecksumGetsTheFailureByteAndDoesNothing) {
  DeviceModel model;
  model.state().total = 12;
  auto frame = Command("I0001");
  frame[8] ^= 0x01;
  EXPECT_EQ(Send(model, frame, T0), (std::vector<Seen>{{Failure, T0 + 5}}));
  EXPECT_EQ(model.state().total, 12);
  // Not for this device: no answer even to a broken frame.
  auto other = Command("I0001", "05");
  other[8] ^= 0x01;
  EXPECT_TRUE(Send(model, other, T0).empty());
}

TEST(DeviceModel, FindsFramesAmongNoise) {
  DeviceModel model;
  Send(model, Command("S0000"), 0);
  // Noise, a stray STX that starts a broken run, then a good Total Count frame:
  // the good frame's STX lies inside the broken run and must not be lost.
  std::vector<std::uint8_t> bytes = {0xFF, 0x06, 0x03, 0x02, 0x41};
  const auto good = Command("C0000");
  bytes.insert(bytes.end(), good.begin(), good.end());
  bytes.push_back(0x55);
  EXPECT_EQ(Send(model, bytes, T0), (std::vector<Seen>{{Reply('c', "0000"), T0 + 25}}));
  // A frame whose tenth byte is not ETX is no command.
  auto broken = Command("I0001");
  broken[9] = 0x04;
  model.state().total = 5;
  EXPECT_TRUE(Send(model, broken, T0).empty());
  EXPECT_EQ(model.state().total, 5);
}

TEST(DeviceModel, StartSessionForgetsAHalfFrame) {
  DeviceModel model;
  const auto status = Command("S0000");
  model.Receive(status.data(), 4, 0);
  model.StartSession();
  model.Receive(status.data() + 4, 6, 10);
  EXPECT_EQ(Send(model, Command("C0000"), T0).size(), 1u);
}

TEST(DeviceModel, DispensesFiveBillsAndIsBusyMeanwhile) {
  DeviceModel model;
  Send(model, Command("S0000"), 0);
  const std::uint64_t done = T0 + 5 + 5 * 250 + 25;
  EXPECT_EQ(Send(model, Command("B0005"), T0),
            (std::vector<Seen>{{Ack, T0 + 5}, {Reply('b', "0005"), done}}));
  EXPECT_TRUE(model.Busy(done - 1));
  EXPECT_FALSE(model.Busy(done));
  EXPECT_EQ(Send(model, Command("S0000"), T0 + 600),
            (std::vector<Seen>{{Reply('s', "w000"), T0 + 625}}));
  // Commands that change the device are refused while it feeds; reads are answered.
  EXPECT_EQ(Send(model, Command("I0001"), T0 + 700), (std::vector<Seen>{{Failure, T0 + 705}}));
  EXPECT_EQ(Send(model, Command("C0000"), T0 + 800),
            (std::vector<Seen>{{Reply('c', "0005"), T0 + 825}}));
  EXPECT_EQ(Send(model, Command("S0000"), done + 100),
            (std::vector<Seen>{{Reply('s', "r000"), done + 125}}));
  EXPECT_EQ(model.state().stack, 495);
  EXPECT_EQ(model.state().total, 5);
}

TEST(DeviceModel, StatusJustBeforeTheCountReplyKeepsAFrameGap) {
  DeviceModel model;
  Send(model, Command("S0000"), 0);
  const std::uint64_t done = T0 + 5 + 5 * 250 + 25;
  Send(model, Command("B0005"), T0);
  // Its 's' would be due 10 ms before the 'b': it waits for the gap after the 'b',
  // so that a reader polling every 10 ms never gets both in one read.
  EXPECT_EQ(Send(model, Command("S0000"), done - 35),
            (std::vector<Seen>{{Reply('s', "w000"), done + 30}}));
}

TEST(DeviceModel, JamGivesErrorAndAShortCount) {
  Settings settings;
  settings.faults.jamAfterBills = 3;
  DeviceModel model(settings);
  Send(model, Command("S0000"), 0);
  // Three bills out, the fourth jams while it is fed.
  const std::uint64_t jam = T0 + 5 + 4 * 250 + 25;
  EXPECT_EQ(Send(model, Command("B0005"), T0),
            (std::vector<Seen>{
                {Ack, T0 + 5}, {Reply('E', "2000"), jam}, {Reply('b', "0003"), jam + 30}}));
  EXPECT_EQ(model.state().total, 3);
  EXPECT_EQ(model.state().errorRecord[2], 1);  // 22, motor error
  const std::uint64_t later = jam + 1000;
  EXPECT_EQ(Send(model, Command("S0000"), later),
            (std::vector<Seen>{{Reply('s', "e200"), later + 25}}));
  // While the jam stands, a dispense gives nothing out.
  EXPECT_EQ(Send(model, Command("B0001"), later + 100),
            (std::vector<Seen>{{Ack, later + 105},
                               {Reply('E', "2000"), later + 130},
                               {Reply('b', "0000"), later + 160}}));
  // Powerful Out Bill pushes the jammed bill out and clears the jam; the jam fires once.
  Send(model, Command("60000"), later + 1000);
  EXPECT_EQ(model.state().error, 0);
  EXPECT_EQ(model.state().total, 4);
  EXPECT_EQ(Send(model, Command("B0002"), later + 2000).back().hex, Reply('b', "0002"));
}

TEST(DeviceModel, EmptyStackAndFullCounterStopTheDispense) {
  DeviceModel model;
  Send(model, Command("S0000"), 0);
  model.state().stack = 2;
  auto seen = Send(model, Command("B0005"), T0);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[1], (Seen{Reply('E', "1000"), T0 + 5 + 2 * 250 + 25}));
  EXPECT_EQ(seen[2].hex, Reply('b', "0002"));
  EXPECT_EQ(model.state().error, '1');

  DeviceModel full;
  full.state().total = 9998;
  seen = Send(full, Command("B0005"), T0);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[1].hex, Reply('E', "I000"));
  EXPECT_EQ(seen[2].hex, Reply('b', "0001"));
  EXPECT_EQ(full.state().total, 9999);
  EXPECT_EQ(full.state().errorRecord[1], 1);  // 21, over 9999
}

TEST(DeviceModel, DoubleBillStopsTheDispense) {
  Settings settings;
  settings.faults.doubleAfterBills = 1;
  DeviceModel model(settings);
  auto seen = Send(model, Command("B0004"), T0);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[1], (Seen{Reply('E', "7000"), T0 + 5 + 2 * 250 + 25}));
  EXPECT_EQ(seen[2].hex, Reply('b', "0001"));
  EXPECT_EQ(model.state().errorRecord[0], 1);  // 20, double bill
  EXPECT_EQ(model.state().stack, 497);         // one out, the pair rejected
}

}  // namespace
}  // namespace sim
