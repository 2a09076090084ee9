// A pseudo-terminal in raw mode whose slave is reachable under a link (the
// COM name the console opens). Whatever stood at the link's place before is
// put back when the object goes, provided the link still points at us.
#pragma once

#include <memory>
#include <string>

namespace sim {

class PtyLink {
 public:
  // Opens the pseudo-terminal and makes the link; nullptr with a reason in
  // `error` when either fails.
  static std::unique_ptr<PtyLink> Open(const std::string& linkPath, std::string& error);
  ~PtyLink();
  PtyLink(const PtyLink&) = delete;
  PtyLink& operator=(const PtyLink&) = delete;

  int master() const { return master_; }
  const std::string& slavePath() const { return slave_; }
  const std::string& linkPath() const { return link_; }
  // The target of the link that stood there before, "" when there was none.
  const std::string& previousTarget() const { return previous_; }

  // Puts the earlier link back (once); also done by the destructor.
  void Restore();

 private:
  PtyLink() = default;
  int master_ = -1;
  std::string slave_;
  std::string link_;
  std::string previous_;
  bool linked_ = false;
};

}  // namespace sim
