// Where the real-port test finds its far side: "COM3" leads to a peer that
// answers every Status frame with a status reply (see pty_peer.h).
#pragma once

#include <string>

namespace real_port_test {

// Makes COM3 lead to the peer. Returns "" or why there is no peer.
std::string ConnectCom3();
void DisconnectCom3();

}  // namespace real_port_test
