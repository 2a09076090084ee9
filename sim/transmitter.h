// The device's sending side. It applies the faked faults to every answer
// (drop, corrupt, split, delay) and keeps answers from overlapping on the
// line: a byte never lands inside another answer's split frame, and two
// frames keep a gap between them, so that a reader polling the line sees
// them in separate reads.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/answer.h"
#include "sim/device_settings.h"
#include "sim/random.h"

namespace sim {

class Transmitter {
 public:
  explicit Transmitter(const Faults& faults = {});

  // Takes new faults and restarts the generator from their seed.
  void SetFaults(const Faults& faults);
  const Faults& faults() const { return faults_; }

  // Whether the next acknowledged command is refused with the failure byte.
  bool RefuseNext();

  // Sends one answer (an ACK, the failure byte or a frame, due at answer.dueMs);
  // appends what actually leaves the device to `out`. `frameGapMs` is the gap
  // kept between frames.
  void Send(Answer answer, std::uint32_t frameGapMs, std::uint64_t nowMs, std::vector<Answer>& out,
            const Trace& trace);

  // Forgets what is scheduled (the reader went away).
  void Reset() { spans_.clear(); }

 private:
  struct Span {
    std::uint64_t start;
    std::uint64_t end;
    bool frame;
  };
  std::uint64_t Place(std::uint64_t due, std::uint64_t length, bool frame, std::uint32_t gap);
  void Corrupt(Answer& answer, bool frame);

  Faults faults_;
  Random random_;
  std::vector<Span> spans_;
};

}  // namespace sim
