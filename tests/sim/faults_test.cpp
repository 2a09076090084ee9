#include <gtest/gtest.h>

#include <algorithm>

#include "sim/device_model.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::Command;
using sim_test::Hex;
using sim_test::Reply;
using sim_test::Seen;
using sim_test::Send;

DeviceModel WithFaults(const Faults& faults) {
  Settings settings;
  settings.faults = faults;
  return DeviceModel(settings);
}

// A run of commands that gives ACKs and frames: 0.5 s apart, ten rounds.
std::vector<Answer> Exchange(DeviceModel& model) {
  std::vector<Answer> all;
  std::uint64_t t = 1000;
  for (int round = 0; round < 10; ++round) {
    for (const char* field : {"S0000", "C0000", "K0000", "R0000"}) {
      const auto bytes = Command(field);
      for (Answer& a : model.Receive(bytes, t)) all.push_back(std::move(a));
      t += 500;
    }
  }
  return all;
}

TEST(Faults, SilentDeviceAnswersNothing) {
  Faults f;
  f.silent = true;
  DeviceModel model = WithFaults(f);
  EXPECT_TRUE(Exchange(model).empty());
  // It still acts on what it hears.
  Send(model, Command("K1010"), 100000);
  EXPECT_TRUE(model.state().startKeyLocked);
}

TEST(Faults, DropShareDropsThatShareAndRepeatsWithTheSeed) {
  DeviceModel clean;
  const std::size_t all =
      Exchange(clean).size();  // 10 x (1 + 1 + 1 + 12), and the first Status's 'v'
  ASSERT_EQ(all, 151u);

  Faults f;
  f.dropShare = 1.0;
  DeviceModel none = WithFaults(f);
  EXPECT_TRUE(Exchange(none).empty());

  f.dropShare = 0.5;
  f.seed = 42;
  DeviceModel a = WithFaults(f);
  DeviceModel b = WithFaults(f);
  const auto ra = Exchange(a);
  const auto rb = Exchange(b);
  EXPECT_GT(ra.size(), all / 4);
  EXPECT_LT(ra.size(), all * 3 / 4);
  ASSERT_EQ(ra.size(), rb.size());
  for (std::size_t i = 0; i < ra.size(); ++i) EXPECT_EQ(ra[i].bytes, rb[i].bytes);

  f.seed = 43;
  DeviceModel c = WithFaults(f);
  const auto rc = Exchange(c);
  EXPECT_FALSE(rc.size() == ra.size() &&
               std::equal(rc.begin(), rc.end(), ra.begin(),
                          [](const Answer& x, const Answer& y) { return x.dueMs == y.dueMs; }));
}

TEST(Faults, CorruptedAnswersFailTheConsolesChecks) {
  Faults f;
  f.corruptShare = 1.0;
  DeviceModel model = WithFaults(f);
  const auto answers = Exchange(model);
  ASSERT_EQ(answers.size(), 151u);
  int flipped = 0;
  int badSum = 0;
  for (const Answer& a : answers) {
    if (a.bytes.size() == 1) {
      EXPECT_NE(a.bytes[0], protocol::ACK);
      continue;
    }
    // Still a whole frame, so the console assembles it and then rejects it.
    ASSERT_EQ(a.bytes.size(), protocol::FrameSize);
    EXPECT_EQ(a.bytes[0], protocol::STX);
    EXPECT_EQ(a.bytes[9], protocol::ETX);
    protocol::CommandFrame frame{};
    std::copy(a.bytes.begin(), a.bytes.end(), frame.begin());
    EXPECT_NE(protocol::FrameChecksum(frame), frame[8]);
    (a.note.find("wrong checksum") != std::string::npos ? badSum : flipped)++;
  }
  EXPECT_GT(flipped, 0);
  EXPECT_GT(badSum, 0);
}

TEST(Faults, FailureByteInsteadOfAckLeavesTheCommandUndone) {
  Faults f;
  f.failShare = 1.0;
  DeviceModel model = WithFaults(f);
  model.state().total = 8;
  EXPECT_EQ(Send(model, Command("I0001"), 1000), (std::vector<Seen>{{"0A", 1005}}));
  EXPECT_EQ(model.state().total, 8);
  EXPECT_EQ(Send(model, Command("B0002"), 2000), (std::vector<Seen>{{"0A", 2005}}));
  EXPECT_EQ(model.state().stack, 500);
  // Questions are still answered.
  EXPECT_EQ(Send(model, Command("C0000"), 3000), (std::vector<Seen>{{Reply('c', "0008"), 3025}}));
}

TEST(Faults, SplitFramesComeInTwoPiecesThatNeverInterleave) {
  Faults f;
  f.splitGapMs = 40;
  DeviceModel model = WithFaults(f);
  const auto seen = Send(model, Command("S0000"), 1000);  // 's' then 'v', both split
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].dueMs, 1025u);
  EXPECT_EQ(seen[1].dueMs, 1065u);
  EXPECT_GE(seen[2].dueMs, seen[1].dueMs + 30);  // the frame gap after the whole 's'
  EXPECT_EQ(seen[3].dueMs, seen[2].dueMs + 40);
  EXPECT_EQ(seen[0].hex + " " + seen[1].hex, Reply('s', "r000"));
  EXPECT_EQ(seen[2].hex + " " + seen[3].hex, Reply("00", 'v', 1, 8, 0, 0));
  // A single byte is not split, and it never lands inside a split frame.
  EXPECT_EQ(Send(model, Command("K0000"), 2000), (std::vector<Seen>{{"06", 2005}}));
  Send(model, Command("B0000"), 3000);  // ACK at 3005, 'b' split from 3030 to 3070
  const auto ack = Send(model, Command("A0000"), 3040);
  EXPECT_EQ(ack, (std::vector<Seen>{{"06", 3070}}));
}

TEST(Faults, ExtraDelayComesBeforeEveryAnswer) {
  Faults f;
  f.extraDelayMs = 100;
  DeviceModel model = WithFaults(f);
  EXPECT_EQ(Send(model, Command("S0000"), 1000),
            (std::vector<Seen>{{Reply('s', "r000"), 1125}, {Reply("00", 'v', 1, 8, 0, 0), 1155}}));
  EXPECT_EQ(Send(model, Command("B0001"), 2000),
            (std::vector<Seen>{{"06", 2105}, {Reply('b', "0001"), 2380}}));
}

TEST(Faults, JamAfterCountsBillsAcrossCommands) {
  Faults f;
  f.jamAfterBills = 2;
  DeviceModel model = WithFaults(f);
  // Single bills, as the stepping dispense sends them: the third one jams.
  EXPECT_EQ(Send(model, Command("B0001"), 1000).back().hex, Reply('b', "0001"));
  EXPECT_EQ(Send(model, Command("B0001"), 2000).back().hex, Reply('b', "0001"));
  const auto third = Send(model, Command("B0001"), 3000);
  ASSERT_EQ(third.size(), 3u);
  EXPECT_EQ(third[1].hex, Reply('E', "2000"));
  EXPECT_EQ(third[2].hex, Reply('b', "0000"));
  // SetFaults arms it anew.
  Send(model, Command("I0002"), 4000);
  model.SetFaults(f);
  EXPECT_EQ(Send(model, Command("B0005"), 5000).back().hex, Reply('b', "0002"));
}

}  // namespace
}  // namespace sim
