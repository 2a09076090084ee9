#include "protocol/reply_assembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/protocol/hex_bytes.h"

namespace protocol {
namespace {

using testing::BytesFromHex;

constexpr std::string_view kTotal = "02 30 30 63 30 31 32 33 8B 03";
constexpr std::string_view kStatus = "02 30 30 73 72 30 30 30 D7 03";
constexpr std::string_view kDipWith0A = "02 30 30 63 30 0A 30 30 5F 03";
constexpr std::string_view kChecksum06 = "02 30 30 63 10 10 10 11 06 03";
constexpr std::string_view kStxAt5 = "02 30 30 63 30 02 30 30 57 03";

// Each item as its traffic line, which names both the kind and the bytes.
std::vector<std::string> Lines(const std::vector<ReceivedItem>& items) {
  std::vector<std::string> lines;
  for (const ReceivedItem& item : items) lines.push_back(RxLine(item));
  return lines;
}

std::string Rx(std::string_view hex) {
  return "Rx : " + std::string(hex) + " ";
}

TEST(ReplyAssembler, ReplySplitOverTwoReadsCompletesInTheSecond) {
  ReplyAssembler a;
  const std::string bytes = BytesFromHex(kTotal);
  EXPECT_TRUE(a.Scan(bytes.substr(0, 3)).empty());
  EXPECT_TRUE(a.FrameInProgress());
  EXPECT_EQ(a.FramePos(), 3);
  EXPECT_EQ(Lines(a.Scan(bytes.substr(3))), std::vector<std::string>{Rx(kTotal)});
  EXPECT_FALSE(a.FrameInProgress());
  EXPECT_EQ(a.FramePos(), 0);
}

TEST(ReplyAssembler, EveryReplyOfOneReadComesBackWithItsOwnBytes) {
  ReplyAssembler a;
  const std::string read =
      BytesFromHex(kTotal) + BytesFromHex(kStatus) + BytesFromHex(kTotal).substr(0, 5);
  ASSERT_EQ(read.size(), 25u);
  EXPECT_EQ(Lines(a.Scan(read)), (std::vector<std::string>{Rx(kTotal), Rx(kStatus)}));
  EXPECT_EQ(a.FramePos(), 5);

  // The third reply completes in the next read.
  EXPECT_EQ(Lines(a.Scan(BytesFromHex(kTotal).substr(5))), std::vector<std::string>{Rx(kTotal)});
}

TEST(ReplyAssembler, StxInsideAReplyIsData) {
  ReplyAssembler a;
  EXPECT_EQ(Lines(a.Scan(BytesFromHex(kStxAt5))), std::vector<std::string>{Rx(kStxAt5)});
}

TEST(ReplyAssembler, AckAndFailureBytesInsideAReplyAreData) {
  ReplyAssembler a;
  const std::string read = BytesFromHex(kChecksum06) + BytesFromHex(kDipWith0A);
  EXPECT_EQ(Lines(a.Scan(read)), (std::vector<std::string>{Rx(kChecksum06), Rx(kDipWith0A)}));
}

TEST(ReplyAssembler, AckAndFailureBetweenRepliesInByteOrder) {
  ReplyAssembler a;
  const std::string read = BytesFromHex("06 41 0A") + BytesFromHex(kTotal) + BytesFromHex("06");
  EXPECT_EQ(Lines(a.Scan(read)),
            (std::vector<std::string>{"Rx : 06", "Rx : 0a", Rx(kTotal), "Rx : 06"}));
}

TEST(ReplyAssembler, BrokenFrameDoesNotSwallowTheNextReply) {
  ReplyAssembler a;
  const std::string broken = BytesFromHex("02 30 30 63 30 31 32 33 8B 33");
  EXPECT_TRUE(a.Scan(broken).empty());
  EXPECT_EQ(a.FramePos(), 10);
  EXPECT_EQ(Lines(a.Scan(BytesFromHex(kStatus))), std::vector<std::string>{Rx(kStatus)});

  // Any other byte after a broken frame is discarded and ends it; the next
  // STX then starts a reply as usual.
  const std::string read = broken + BytesFromHex("06") + BytesFromHex(kTotal);
  EXPECT_EQ(Lines(a.Scan(read)), std::vector<std::string>{Rx(kTotal)});
}

TEST(ReplyAssembler, NoiseBetweenRepliesIsDropped) {
  ReplyAssembler a;
  EXPECT_TRUE(a.Scan(BytesFromHex("00 03 FF 30")).empty());
  EXPECT_FALSE(a.FrameInProgress());
  EXPECT_EQ(Lines(a.Scan(BytesFromHex(kTotal))), std::vector<std::string>{Rx(kTotal)});
}

TEST(ReplyAssembler, ResetDropsAHalfCollectedReply) {
  ReplyAssembler a;
  a.Scan(BytesFromHex(kTotal).substr(0, 4));
  a.Reset();
  EXPECT_FALSE(a.FrameInProgress());
  EXPECT_EQ(a.FramePos(), 0);
  EXPECT_EQ(Lines(a.Scan(BytesFromHex(kStatus))), std::vector<std::string>{Rx(kStatus)});
}

TEST(AckText, OneTextPerPendingCommand) {
  const char* const texts[] = {
      "Out Bill ...OK",
      ">> Clear Account ...OK",
      ">> Clear Error message...OK",
      ">> Clear Account and Error message...OK",
      ">> Disable Key ...OK",
      ">> Enable Key...OK",
      ">> Clear Error Record...OK",
      ">> Calibration IR...OK",
      ">> Password Enable...OK",
      ">> Password Disable...OK",
      "Out Bill...OK",
  };
  for (std::uint32_t v = 0; v < std::size(texts); ++v) EXPECT_EQ(AckText(v), texts[v]) << v;
  EXPECT_EQ(AckText(11), "");
  EXPECT_EQ(FailureText, "Protocol failure...");
}

}  // namespace
}  // namespace protocol
