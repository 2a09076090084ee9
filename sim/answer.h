// What the device sends back: a piece of bytes and the moment it is due on the line.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sim {

struct Answer {
  std::vector<std::uint8_t> bytes;
  std::uint64_t dueMs = 0;
  std::string note;  // what it means, in words, for the simulator's log
};

// Told of what the device takes in and of answers it holds back; one line each.
using Trace = std::function<void(std::uint64_t nowMs, const std::string& line)>;

}  // namespace sim
