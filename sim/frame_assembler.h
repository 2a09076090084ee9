// Collects command frames from bytes that may come one at a time and mixed
// with noise: hunts for STX, takes ten bytes, and needs ETX as the tenth.
// A run of ten without ETX gives up its STX and the hunt starts again at
// the next STX inside it, so a frame that began within noise is not lost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "protocol/frame.h"

namespace sim {

class FrameAssembler {
 public:
  // Takes the next bytes in arrival order; returns every frame they complete.
  std::vector<protocol::CommandFrame> Add(const std::uint8_t* bytes, std::size_t count);
  // Bytes thrown away as noise since the last call.
  std::size_t TakeDiscarded();
  // Forgets a half-collected frame.
  void Reset();

 private:
  std::vector<std::uint8_t> held_;
  std::size_t discarded_ = 0;
};

}  // namespace sim
