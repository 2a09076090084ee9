// The real rm460-sim as a child process with its own prefix: started,
// watched through its standard output and its link, and stopped. Every wait
// is bounded, so a fault fails the test instead of hanging it.
#pragma once

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"

namespace sim_test {

using Clock = std::chrono::steady_clock;

inline std::string ReadLink(const std::string& path) {
  char buffer[4096];
  const ssize_t n = ::readlink(path.c_str(), buffer, sizeof(buffer) - 1);
  return n < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(n));
}

// Reads from fd until `enough` says so or the time is up.
inline std::string ReadFor(int fd, int ms, const std::function<bool(const std::string&)>& enough) {
  std::string got;
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  while (!enough(got)) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    char buffer[256];
    const ssize_t n = ::read(fd, buffer, sizeof(buffer));
    if (n <= 0) break;
    got.append(buffer, static_cast<std::size_t>(n));
  }
  return got;
}

class SimProgram : public testing::Test {
 protected:
  void TearDown() override {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
  }

  // Starts the program with its standard output on a pipe, and returns at once.
  void Launch(const std::vector<std::string>& args) {
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    pid_ = ::fork();
    ASSERT_GE(pid_, 0);
    if (pid_ == 0) {
      ::dup2(pipeFds[1], STDOUT_FILENO);
      ::close(pipeFds[0]);
      ::close(pipeFds[1]);
      ::setenv("RM460_PREFIX", prefix_.path().c_str(), 1);
      std::vector<char*> argv{const_cast<char*>("rm460-sim")};
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(RM460_SIM_PATH, argv.data());
      ::_exit(127);
    }
    ::close(pipeFds[1]);
    out_ = pipeFds[0];
  }

  // Starts the program and waits until it has told its pseudo-terminal and link.
  void Start(const std::vector<std::string>& args) {
    Launch(args);
    output_ = ReadFor(out_, 5000, [](const std::string& s) {
      return s.find("\nlink ") != std::string::npos && s.find("bills") != std::string::npos;
    });
    ASSERT_NE(output_.find("pseudo-terminal /dev/"), std::string::npos) << output_;
  }

  // Waits until the link leads to a pseudo-terminal; false when it never does.
  static bool WaitForLink(const std::string& link, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (ReadLink(link).rfind("/dev/pts/", 0) != 0) {
      if (Clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }

  // SIGTERM, then the exit code (128 + signal when killed; -1 when it did not end).
  int Stop() {
    ::kill(pid_, SIGTERM);
    int status = 0;
    const auto end = Clock::now() + std::chrono::seconds(5);
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
      if (Clock::now() > end) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
    output_ += ReadFor(out_, 500, [](const std::string&) { return false; });
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  testing_support::TempDir prefix_;
  pid_t pid_ = -1;
  int out_ = -1;
  std::string output_;
};

}  // namespace sim_test
