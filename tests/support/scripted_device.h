// A far side for console tests: it assembles the frames the console writes
// (one byte per write) and hands each to a script that may answer.
#pragma once

#include <functional>
#include <vector>

#include "platform/simulated_port.h"
#include "protocol/frame.h"

namespace testing_support {

class ScriptedDevice : public platform::FarSide {
 public:
  using Script = std::function<void(platform::SimulatedPort& port,
                                    const protocol::CommandFrame& frame, std::uint64_t nowMs)>;
  explicit ScriptedDevice(Script script = {}) : script_(std::move(script)) {}
  void SetScript(Script script) { script_ = std::move(script); }

  void Received(platform::SimulatedPort& port, const std::vector<platform::BYTE>& bytes,
                std::uint64_t nowMs) override {
    for (platform::BYTE b : bytes) {
      if (pos_ == 0 && b != protocol::STX) continue;
      current_[pos_++] = b;
      if (pos_ == protocol::FrameSize) {
        pos_ = 0;
        frames_.push_back(current_);
        if (script_) script_(port, current_, nowMs);
      }
    }
  }

  const std::vector<protocol::CommandFrame>& Frames() const { return frames_; }

 private:
  Script script_;
  protocol::CommandFrame current_{};
  std::size_t pos_ = 0;
  std::vector<protocol::CommandFrame> frames_;
};

// A reply frame from the ID characters, the code and four data bytes.
inline protocol::CommandFrame Reply(char code, std::uint8_t b4, std::uint8_t b5, std::uint8_t b6,
                                    std::uint8_t b7, std::uint8_t id10 = '0',
                                    std::uint8_t id1 = '0') {
  protocol::CommandFrame f{
      protocol::STX, id10, id1, static_cast<std::uint8_t>(code), b4, b5, b6, b7, 0, protocol::ETX};
  f[8] = protocol::FrameChecksum(f);
  return f;
}

inline std::vector<platform::BYTE> Bytes(const protocol::CommandFrame& f) {
  return {f.begin(), f.end()};
}

}  // namespace testing_support
