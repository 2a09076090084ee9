// Linux: the test holds the peer itself and links COM3 to its pseudo-terminal.
#include <filesystem>
#include <memory>
#include <system_error>

#include "tests/real_port/com3_peer.h"
#include "tests/real_port/pty_peer.h"
#include "tests/support/environment.h"

namespace real_port_test {
namespace {

std::unique_ptr<PtyPeer> peer;

std::filesystem::path Com3Link() {
  return std::filesystem::path(testing_support::Environment("RM460_PREFIX")) / "dosdevices" /
         "com3";
}

}  // namespace

std::string ConnectCom3() {
  peer = std::make_unique<PtyPeer>();
  if (!peer->Ok()) return peer->Failure();
  std::error_code ec;
  std::filesystem::create_directories(Com3Link().parent_path(), ec);
  std::filesystem::remove(Com3Link(), ec);
  std::filesystem::create_symlink(peer->SlavePath(), Com3Link(), ec);
  return ec ? "cannot link " + Com3Link().string() + ": " + ec.message() : "";
}

void DisconnectCom3() {
  std::error_code ec;
  std::filesystem::remove(Com3Link(), ec);
  peer.reset();
}

}  // namespace real_port_test
