// Commands in words, for the simulator's log.
#pragma once

#include <string>

#include "protocol/frame.h"

namespace sim {

// "Status", "Out Bill 5", "Key Disable", "self test step 3 (encoder)" ...
std::string DescribeCommand(const protocol::CommandFrame& frame);

// The meaning of an 'E' code the device sends: "jam", "stack empty" ...
std::string DescribeErrorCode(char code);

}  // namespace sim
