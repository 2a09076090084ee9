// Reassembly of the dispenser's answers from the bytes of successive reads:
// single ACK and failure bytes, and 10-byte reply frames that may be split
// over several reads. The state lives between reads.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/frame.h"

namespace protocol {

struct ReceivedItem {
  enum class Kind { Ack, Failure, Reply } kind;
  CommandFrame frame{};  // Reply only: the reply's own ten bytes
};

class ReplyAssembler {
 public:
  // Scans one read, byte by byte, and returns in byte order the ACKs, the
  // failure bytes and every reply completed during the scan.
  //
  // A byte counts as ACK or failure byte only while no reply is being
  // assembled; inside a reply it is frame data. Ten bytes whose tenth is not
  // ETX are a broken frame: the next byte ends it, and starts a new reply if
  // it is an STX (any other byte there is discarded).
  std::vector<ReceivedItem> Scan(std::string_view bytes);

  // A new connection starts clean.
  void Reset();

  int FramePos() const { return framePos_; }
  bool FrameInProgress() const { return frameInProgress_; }
  // The bytes of the reply being assembled; slots not yet overwritten keep
  // the bytes of an earlier reply.
  const CommandFrame& RxFrame() const { return rxFrame_; }

 private:
  void Start();

  CommandFrame rxFrame_{};
  int framePos_ = 0;
  bool frameInProgress_ = false;
};

// The text shown for an ACK, chosen by PendingCommand; "" outside 0 to 10.
std::string AckText(std::uint32_t pendingCommand);

inline constexpr std::string_view FailureText = "Protocol failure...";

// The traffic line of a received item: "Rx : 06", "Rx : 0a", or "Rx : "
// followed by the reply's hexadecimal dump.
std::string RxLine(const ReceivedItem& item);

}  // namespace protocol
