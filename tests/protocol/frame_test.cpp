#include "protocol/frame.h"

#include <gtest/gtest.h>

namespace protocol {
namespace {

TEST(Frame, StatusFrameAndItsHexLine) {
  const CommandFrame f = MakeFrame('0', '0', "S0000");
  EXPECT_EQ(HexLine(f), "02 30 30 53 30 30 30 30 75 03 ");
  EXPECT_EQ(FrameChecksum(f), 0x75);
}

}  // namespace
}  // namespace protocol
