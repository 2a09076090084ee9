#include "sim/frame_assembler.h"

#include <gtest/gtest.h>

#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::Command;

std::vector<std::uint8_t> Cat(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(FrameAssembler, CollectsAcrossPiecesOfAnySize) {
  const auto status = Command("S0000");
  for (std::size_t cut = 0; cut <= status.size(); ++cut) {
    FrameAssembler a;
    auto frames = a.Add(status.data(), cut);
    EXPECT_EQ(frames.size(), cut == status.size() ? 1u : 0u);
    for (const auto& f : a.Add(status.data() + cut, status.size() - cut)) frames.push_back(f);
    ASSERT_EQ(frames.size(), 1u) << cut;
    EXPECT_TRUE(std::equal(status.begin(), status.end(), frames[0].begin()));
    EXPECT_EQ(a.TakeDiscarded(), 0u);
  }
}

TEST(FrameAssembler, AFrameSentInsideAnotherIsRecovered) {
  // A frame written in the middle of another one (a nested send): the outer
  // run fails its ETX, the inner frame is found, the rest is noise.
  const auto outer = Command("S0000");
  const auto inner = Command("X0000");
  std::vector<std::uint8_t> bytes(outer.begin(), outer.begin() + 4);
  bytes.insert(bytes.end(), inner.begin(), inner.end());
  bytes.insert(bytes.end(), outer.begin() + 4, outer.end());
  FrameAssembler a;
  const auto frames = a.Add(bytes.data(), bytes.size());
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0][3], 'X');
  EXPECT_EQ(a.TakeDiscarded(), 10u);
}

TEST(FrameAssembler, TwoFramesBackToBackAndNoiseBetween) {
  const auto bytes = Cat({{0x00, 0x41}, Command("C0000"), {0x03, 0x06}, Command("D0000")});
  FrameAssembler a;
  const auto frames = a.Add(bytes.data(), bytes.size());
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0][3], 'C');
  EXPECT_EQ(frames[1][3], 'D');
  EXPECT_EQ(a.TakeDiscarded(), 4u);
}

}  // namespace
}  // namespace sim
