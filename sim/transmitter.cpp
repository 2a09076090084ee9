#include "sim/transmitter.h"

#include <algorithm>

#include "protocol/frame.h"

namespace sim {

Transmitter::Transmitter(const Faults& faults) {
  SetFaults(faults);
}

void Transmitter::SetFaults(const Faults& faults) {
  faults_ = faults;
  random_ = Random(faults.seed);
}

bool Transmitter::RefuseNext() {
  return random_.Chance(faults_.failShare);
}

void Transmitter::Send(Answer answer, std::uint32_t frameGapMs, std::uint64_t nowMs,
                       std::vector<Answer>& out, const Trace& trace) {
  const bool frame = answer.bytes.size() == protocol::FrameSize;
  if (faults_.silent || random_.Chance(faults_.dropShare)) {
    if (trace) {
      trace(nowMs, "   (not sent: " + protocol::HexLine(answer.bytes.data(), answer.bytes.size()) +
                       " " + answer.note + ")");
    }
    return;
  }
  if (random_.Chance(faults_.corruptShare)) Corrupt(answer, frame);

  spans_.erase(std::remove_if(spans_.begin(), spans_.end(),
                              [&](const Span& s) { return s.end + frameGapMs < nowMs; }),
               spans_.end());
  const bool split = frame && faults_.splitGapMs > 0;
  const std::uint64_t length = split ? faults_.splitGapMs : 0;
  const std::uint64_t due = Place(answer.dueMs + faults_.extraDelayMs, length, frame, frameGapMs);
  spans_.push_back({due, due + length, frame});

  if (!split) {
    answer.dueMs = due;
    out.push_back(std::move(answer));
    return;
  }
  const auto cut = static_cast<std::ptrdiff_t>(1 + random_.Below(protocol::FrameSize - 1));
  Answer first{
      {answer.bytes.begin(), answer.bytes.begin() + cut}, due, answer.note + " (1st part)"};
  Answer second{
      {answer.bytes.begin() + cut, answer.bytes.end()}, due + length, answer.note + " (2nd part)"};
  out.push_back(std::move(first));
  out.push_back(std::move(second));
}

std::uint64_t Transmitter::Place(std::uint64_t due, std::uint64_t length, bool frame,
                                 std::uint32_t gap) {
  bool moved = true;
  while (moved) {
    moved = false;
    for (const Span& s : spans_) {
      // Frames keep the gap between them; anything else only stays out of a
      // split frame (a byte due at its very start would land inside it).
      const std::uint64_t g = frame && s.frame ? gap : 0;
      if (due < s.end + g && s.start < due + length + std::max<std::uint64_t>(g, 1)) {
        due = s.end + g;
        moved = true;
      }
    }
  }
  return due;
}

void Transmitter::Corrupt(Answer& answer, bool frame) {
  if (!frame) {
    answer.bytes[0] ^= static_cast<std::uint8_t>(1u << random_.Below(8));
    answer.note += " (bit flipped)";
  } else if (random_.Chance(0.5)) {
    // A bit inside the ID, code or data: the frame still assembles, its sum no longer fits.
    answer.bytes[1 + random_.Below(7)] ^= static_cast<std::uint8_t>(1u << random_.Below(8));
    answer.note += " (bit flipped)";
  } else {
    answer.bytes[8] = static_cast<std::uint8_t>(answer.bytes[8] + 1);
    answer.note += " (wrong checksum)";
  }
}

}  // namespace sim
