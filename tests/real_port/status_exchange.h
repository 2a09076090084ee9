// The one exchange the real-port peer knows: a Status frame for device 00
// and the status reply it gets ("r000", ready).
#pragma once

#include "protocol/frame.h"

namespace real_port_test {

inline protocol::CommandFrame StatusFrame() {
  return protocol::MakeFrame('0', '0', "S0000");
}

inline protocol::CommandFrame StatusReply() {
  protocol::CommandFrame f{protocol::STX, '0', '0', 's', 'r', '0', '0', '0', 0, protocol::ETX};
  f[8] = protocol::FrameChecksum(f);
  return f;
}

}  // namespace real_port_test
