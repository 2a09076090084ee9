// Windows under Wine: the test script runs the peer on the Linux side and maps
// COM3 to its pseudo-terminal before this program starts, and says so in
// RM460_COM3_PEER. On a Windows machine, set that variable once COM3 is wired
// to a device that answers the Status frame.
#include "tests/real_port/com3_peer.h"
#include "tests/support/environment.h"

namespace real_port_test {

std::string ConnectCom3() {
  if (!testing_support::Environment("RM460_COM3_PEER").empty()) return "";
  return "COM3 has no peer: scripts/test starts one and maps COM3 to it under Wine "
         "(RM460_COM3_PEER is not set)";
}

void DisconnectCom3() {}

}  // namespace real_port_test
