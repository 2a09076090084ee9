#include "sim/frame_assembler.h"

#include <algorithm>

namespace sim {

std::vector<protocol::CommandFrame> FrameAssembler::Add(const std::uint8_t* bytes,
                                                        std::size_t count) {
  held_.insert(held_.end(), bytes, bytes + count);
  std::vector<protocol::CommandFrame> frames;
  std::size_t pos = 0;
  while (true) {
    const auto stx =
        std::find(held_.begin() + static_cast<std::ptrdiff_t>(pos), held_.end(), protocol::STX);
    discarded_ += static_cast<std::size_t>(stx - held_.begin()) - pos;
    pos = static_cast<std::size_t>(stx - held_.begin());
    if (held_.size() - pos < protocol::FrameSize) break;
    if (held_[pos + protocol::FrameSize - 1] == protocol::ETX) {
      protocol::CommandFrame frame{};
      std::copy_n(held_.begin() + static_cast<std::ptrdiff_t>(pos), protocol::FrameSize,
                  frame.begin());
      frames.push_back(frame);
      pos += protocol::FrameSize;
    } else {
      ++discarded_;  // the STX of a broken run
      ++pos;
    }
  }
  held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(pos));
  return frames;
}

std::size_t FrameAssembler::TakeDiscarded() {
  const std::size_t n = discarded_;
  discarded_ = 0;
  return n;
}

void FrameAssembler::Reset() {
  held_.clear();
}

}  // namespace sim
