#include "tests/real_port/pty_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace real_port_test {

PtyPeer::PtyPeer() {
  int slave = -1;
  char name[256] = {};
  if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0) {
    failure_ = std::string("openpty: ") + std::strerror(errno);
    master_ = -1;
    return;
  }
  // Raw both ways, so that no byte of a frame is taken as a line control.
  termios tio{};
  ::tcgetattr(slave, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(slave, TCSANOW, &tio);
  // The port under test is to be the slave's only user.
  ::close(slave);
  slave_ = name;
  server_ = std::thread([this] { Serve(); });
}

PtyPeer::~PtyPeer() {
  stop_ = true;
  if (server_.joinable()) server_.join();
  if (master_ >= 0) ::close(master_);
}

void PtyPeer::Serve() {
  protocol::CommandFrame frame{};
  std::size_t pos = 0;
  while (!stop_) {
    pollfd p{master_, POLLIN, 0};
    const int r = ::poll(&p, 1, 10);
    // With no slave open the master reports a hang-up: wait for the port.
    if (r <= 0 || (p.revents & POLLIN) == 0) {
      if (r > 0) ::usleep(10000);
      continue;
    }
    unsigned char buffer[256];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0) {
      ::usleep(10000);
      continue;
    }
    for (ssize_t i = 0; i < n; ++i) {
      if (pos == 0 && buffer[i] != protocol::STX) continue;
      frame[pos++] = buffer[i];
      if (pos < protocol::FrameSize) continue;
      pos = 0;
      if (frame != StatusFrame()) continue;
      const protocol::CommandFrame reply = StatusReply();
      if (::write(master_, reply.data(), reply.size()) != static_cast<ssize_t>(reply.size())) {
        continue;
      }
    }
  }
}

}  // namespace real_port_test
