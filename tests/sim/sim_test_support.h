// Helpers shared by the simulator's tests: frames from hex or fields, and
// answers as hex lines with their due times.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "protocol/frame.h"
#include "sim/device_model.h"

namespace sim_test {

// "02 30 30 ..." for the bytes of an answer, without the trailing space.
inline std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string line = protocol::HexLine(bytes.data(), bytes.size());
  if (!line.empty()) line.pop_back();
  return line;
}

// A frame with the given ID, code and four data bytes, and its right checksum.
inline std::string Reply(const char* id, char code, std::uint8_t b4, std::uint8_t b5,
                         std::uint8_t b6, std::uint8_t b7) {
  protocol::CommandFrame f{protocol::STX,
                           static_cast<std::uint8_t>(id[0]),
                           static_cast<std::uint8_t>(id[1]),
                           static_cast<std::uint8_t>(code),
                           b4,
                           b5,
                           b6,
                           b7,
                           0,
                           protocol::ETX};
  f[8] = protocol::FrameChecksum(f);
  return Hex({f.begin(), f.end()});
}
inline std::string Reply(char code, const char* data) {
  return Reply("00", code, static_cast<std::uint8_t>(data[0]), static_cast<std::uint8_t>(data[1]),
               static_cast<std::uint8_t>(data[2]), static_cast<std::uint8_t>(data[3]));
}

inline std::vector<std::uint8_t> Command(const char* field, const char* id = "00") {
  const auto f = protocol::MakeFrame(static_cast<std::uint8_t>(id[0]),
                                     static_cast<std::uint8_t>(id[1]), field);
  return {f.begin(), f.end()};
}

struct Seen {
  std::string hex;
  std::uint64_t dueMs;
  bool operator==(const Seen&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Seen& s) {
  return out << "{" << s.hex << " @" << s.dueMs << "}";
}

// Writes the bytes one at a time, as the console does, all at nowMs.
inline std::vector<Seen> Send(sim::DeviceModel& model, const std::vector<std::uint8_t>& bytes,
                              std::uint64_t nowMs) {
  std::vector<Seen> seen;
  for (std::uint8_t b : bytes) {
    for (const sim::Answer& a : model.Receive(&b, 1, nowMs))
      seen.push_back({Hex(a.bytes), a.dueMs});
  }
  return seen;
}

}  // namespace sim_test
