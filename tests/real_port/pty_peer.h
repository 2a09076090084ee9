// The far side of a real serial line on Linux: a pseudo-terminal whose master
// a small device holds. It answers every Status frame it reads with a status
// reply. The test's port opens the slave side.
#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/real_port/status_exchange.h"

namespace real_port_test {

class PtyPeer {
 public:
  // Creates the pseudo-terminal and starts serving it; Ok() tells whether
  // that worked, Failure() why not.
  PtyPeer();
  ~PtyPeer();
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  bool Ok() const { return master_ >= 0; }
  const std::string& Failure() const { return failure_; }
  // The slave's device path, "/dev/pts/N".
  const std::string& SlavePath() const { return slave_; }

 private:
  void Serve();

  int master_ = -1;
  std::string slave_;
  std::string failure_;
  std::atomic<bool> stop_{false};
  std::thread server_;
};

}  // namespace real_port_test
