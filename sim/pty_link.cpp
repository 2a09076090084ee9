#include "sim/pty_link.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace sim {
namespace {

std::string ReadLink(const std::string& path) {
  char buffer[4096];
  const ssize_t n = ::readlink(path.c_str(), buffer, sizeof(buffer) - 1);
  return n < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(n));
}

void MakeFolders(const std::string& path) {
  for (std::size_t i = 1; i < path.size(); ++i) {
    if (path[i] == '/') ::mkdir(path.substr(0, i).c_str(), 0755);
  }
}

// Replaces whatever link is at `path` in one step, so the name never vanishes.
bool LinkTo(const std::string& target, const std::string& path) {
  const std::string temp = path + ".rm460-sim." + std::to_string(::getpid());
  ::unlink(temp.c_str());
  if (::symlink(target.c_str(), temp.c_str()) != 0) return false;
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<PtyLink> PtyLink::Open(const std::string& linkPath, std::string& error) {
  std::unique_ptr<PtyLink> pty(new PtyLink());
  pty->link_ = linkPath;

  struct stat st {};
  if (::lstat(linkPath.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) {
      error = linkPath + " exists and is not a symbolic link; it is left alone";
      return nullptr;
    }
    pty->previous_ = ReadLink(linkPath);
  }

  pty->master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (pty->master_ < 0 || ::grantpt(pty->master_) != 0 || ::unlockpt(pty->master_) != 0) {
    error = std::string("no pseudo-terminal: ") + std::strerror(errno);
    return nullptr;
  }
  ::fcntl(pty->master_, F_SETFD, FD_CLOEXEC);
  const char* name = ::ptsname(pty->master_);
  if (name == nullptr) {
    error = std::string("no pseudo-terminal name: ") + std::strerror(errno);
    return nullptr;
  }
  pty->slave_ = name;

  // Raw mode is set on the slave once; the setting stays with the terminal
  // when the slave is closed, so an opener that sets nothing gets no echo.
  const int slave = ::open(name, O_RDWR | O_NOCTTY);
  if (slave < 0) {
    error = "cannot open " + pty->slave_ + ": " + std::strerror(errno);
    return nullptr;
  }
  termios tio{};
  ::tcgetattr(slave, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(slave, TCSANOW, &tio);
  // The simulator keeps no slave open itself: the console may open it
  // exclusively, and it must be able to do so again after closing it.
  ::close(slave);

  MakeFolders(linkPath);
  if (!LinkTo(pty->slave_, linkPath)) {
    error = "cannot link " + linkPath + ": " + std::strerror(errno);
    return nullptr;
  }
  pty->linked_ = true;
  return pty;
}

PtyLink::~PtyLink() {
  Restore();
  if (master_ >= 0) ::close(master_);
}

void PtyLink::Restore() {
  if (!linked_) return;
  linked_ = false;
  if (ReadLink(link_) != slave_) return;  // someone else has put a link there since
  if (previous_.empty()) {
    ::unlink(link_.c_str());
  } else {
    LinkTo(previous_, link_);
  }
}

}  // namespace sim
