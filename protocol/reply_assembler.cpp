#include "protocol/reply_assembler.h"

#include <array>

namespace protocol {

void ReplyAssembler::Start() {
  frameInProgress_ = true;
  framePos_ = 0;
}

std::vector<ReceivedItem> ReplyAssembler::Scan(std::string_view bytes) {
  std::vector<ReceivedItem> items;
  for (char c : bytes) {
    const auto b = static_cast<std::uint8_t>(c);

    if (!frameInProgress_) {
      // Data bytes are not acknowledgements: a 0x06 or 0x0A that arrives
      // while a reply is being assembled is frame data only, so these two
      // rules are applied only between replies.
      if (b == ACK) {
        items.push_back({ReceivedItem::Kind::Ack});
      } else if (b == FailureByte) {
        items.push_back({ReceivedItem::Kind::Failure});
      } else if (b == STX) {
        Start();
      }
      if (!frameInProgress_) continue;
    } else if (framePos_ == static_cast<int>(FrameSize)) {
      // Ten bytes held and the tenth was not ETX. A broken frame does not
      // swallow the next good one: an STX here starts a new reply; any other
      // byte is discarded and ends the assembly.
      if (b != STX) {
        frameInProgress_ = false;
        continue;
      }
      Start();
    }

    rxFrame_[static_cast<std::size_t>(framePos_)] = b;
    ++framePos_;
    if (framePos_ == static_cast<int>(FrameSize) && rxFrame_[FrameSize - 1] == ETX) {
      // Every complete reply is returned from its own ten bytes, before a
      // later reply in the same read can overwrite them.
      items.push_back({ReceivedItem::Kind::Reply, rxFrame_});
      framePos_ = 0;
      frameInProgress_ = false;
    }
  }
  return items;
}

void ReplyAssembler::Reset() {
  rxFrame_ = {};
  framePos_ = 0;
  frameInProgress_ = false;
}

std::string AckText(std::uint32_t pendingCommand) {
  static constexpr std::array<std::string_view, 11> texts = {
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
  if (pendingCommand >= texts.size()) return {};
  return std::string(texts[pendingCommand]);
}

std::string RxLine(const ReceivedItem& item) {
  switch (item.kind) {
    case ReceivedItem::Kind::Ack:
      return "Rx : 06";
    case ReceivedItem::Kind::Failure:
      return "Rx : 0a";
    case ReceivedItem::Kind::Reply:
      break;
  }
  return "Rx : " + HexLine(item.frame);
}

}  // namespace protocol
