// rm460-sim: serves the simulated dispenser on a pseudo-terminal in real time.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "protocol/frame.h"
#include "sim/device_model.h"
#include "sim/options.h"
#include "sim/pty_link.h"

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
  (void)ignored;
}

bool CatchSignals() {
  if (::pipe(signalPipe) != 0) return false;
  for (int fd : signalPipe) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(sig, &action, nullptr);
  return true;
}

std::uint64_t NowMs() {
  static const auto start = std::chrono::steady_clock::now();
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now() - start)
                                        .count());
}

class Printer {
 public:
  explicit Printer(bool quiet) : quiet_(quiet) {}
  void Line(std::uint64_t ms, const std::string& text) const {
    if (quiet_) return;
    std::printf("%6llu.%03llu %s\n", static_cast<unsigned long long>(ms / 1000),
                static_cast<unsigned long long>(ms % 1000), text.c_str());
  }

 private:
  bool quiet_;
};

// The console's side of the terminal is open while the master sees no hang-up.
bool HungUp(int master) {
  pollfd p{master, POLLIN, 0};
  return ::poll(&p, 1, 0) == 1 && (p.revents & POLLHUP) != 0 && (p.revents & POLLIN) == 0;
}

int Serve(sim::PtyLink& pty, sim::DeviceModel& model, const Printer& print) {
  std::multimap<std::uint64_t, sim::Answer> pending;  // by due time, in order of scheduling
  // The slave was opened and closed once to set raw mode, so the master sees
  // a hang-up until the console opens the port.
  bool open = !HungUp(pty.master());
  std::uint8_t buffer[512];
  while (true) {
    const std::uint64_t now = NowMs();
    if (!open) {
      // Nobody has the terminal open; look again a little later rather than spin on the hang-up.
      if (!HungUp(pty.master())) {
        open = true;
        model.StartSession();
        print.Line(now, "-- the port was opened");
        continue;
      }
    }
    int timeout = open ? -1 : 100;
    if (open && !pending.empty()) {
      timeout = pending.begin()->first <= now ? 0 : static_cast<int>(pending.begin()->first - now);
    }
    pollfd fds[2] = {{signalPipe[0], POLLIN, 0}, {pty.master(), POLLIN, 0}};
    const int ready = ::poll(fds, open ? 2 : 1, timeout);
    if (ready < 0 && errno != EINTR) {
      std::perror("poll");
      return 1;
    }
    if (fds[0].revents & POLLIN) return 0;
    if (!open) continue;

    bool hangUp = false;
    if (fds[1].revents & POLLIN) {
      const ssize_t n = ::read(pty.master(), buffer, sizeof(buffer));
      if (n > 0) {
        for (sim::Answer& a : model.Receive(buffer, static_cast<std::size_t>(n), NowMs())) {
          pending.emplace(a.dueMs, std::move(a));
        }
      } else {
        hangUp = n == 0 || (errno != EINTR && errno != EAGAIN);
      }
    } else if (fds[1].revents & (POLLHUP | POLLERR)) {
      hangUp = true;
    }
    const std::uint64_t later = NowMs();
    const bool due = !pending.empty() && pending.begin()->first <= later;
    // Bytes written with nobody on the port would wait there for the next opener.
    if (hangUp || (due && HungUp(pty.master()))) {
      open = false;
      pending.clear();
      print.Line(later, "-- the port was closed; answers still owed are dropped");
      continue;
    }
    while (!pending.empty() && pending.begin()->first <= later) {
      const sim::Answer& a = pending.begin()->second;
      if (::write(pty.master(), a.bytes.data(), a.bytes.size()) < 0 && errno != EAGAIN) {
        print.Line(later, "-- write failed: " + std::string(std::strerror(errno)));
      } else {
        print.Line(later, "-> " + protocol::HexLine(a.bytes.data(), a.bytes.size()) + a.note);
      }
      pending.erase(pending.begin());
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  sim::ProgramOptions options;
  std::string error;
  if (!sim::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "rm460-sim: %s\n(see rm460-sim --help)\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(sim::HelpText().c_str(), stdout);
    return 0;
  }
  if (!CatchSignals()) {
    std::perror("rm460-sim: pipe");
    return 1;
  }
  auto pty = sim::PtyLink::Open(sim::LinkPath(options), error);
  if (!pty) {
    std::fprintf(stderr, "rm460-sim: %s\n", error.c_str());
    return 1;
  }
  std::printf("pseudo-terminal %s\nlink %s -> %s%s\n", pty->slavePath().c_str(),
              pty->linkPath().c_str(), pty->slavePath().c_str(),
              pty->previousTarget().empty()
                  ? ""
                  : (" (was " + pty->previousTarget() + ", put back at exit)").c_str());
  std::printf("dispenser ID %s, %d bills, %u ms per bill\n", options.settings.state.id.c_str(),
              options.settings.state.stack, options.settings.timing.billMs);

  sim::DeviceModel model(options.settings);
  const Printer print(options.quiet);
  model.SetTrace([&](std::uint64_t ms, const std::string& line) { print.Line(ms, line); });
  const int rc = Serve(*pty, model, print);
  pty->Restore();
  std::printf("stopped; %s\n", pty->previousTarget().empty()
                                   ? ("link " + pty->linkPath() + " removed").c_str()
                                   : ("link " + pty->linkPath() + " put back").c_str());
  return rc;
}
