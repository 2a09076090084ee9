// The peer on its own, for a port that another program opens (the Windows
// test under Wine): prints the slave's path on one line, then serves until it
// is stopped or its time limit (first argument, seconds; 120) has passed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "tests/real_port/pty_peer.h"

int main(int argc, char** argv) {
  const int limitSeconds = argc > 1 ? std::atoi(argv[1]) : 120;
  real_port_test::PtyPeer peer;
  if (!peer.Ok()) {
    std::fprintf(stderr, "%s\n", peer.Failure().c_str());
    return 1;
  }
  std::printf("%s\n", peer.SlavePath().c_str());
  std::fflush(stdout);
  std::this_thread::sleep_for(std::chrono::seconds(limitSeconds));
  return 0;
}
