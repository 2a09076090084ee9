// Runs the real rm460-sim on its pseudo-terminal and talks to it through the
// link it makes with plain POSIX calls: the link, idling without a reader,
// reopening and the stop. Every wait is bounded.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/sim/sim_program_fixture.h"
#include "tests/sim/sim_test_support.h"

namespace {

using sim_test::ReadFor;
using sim_test::ReadLink;

// The child's CPU time so far, in clock ticks.
long CpuTicks(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::istringstream fields(all.substr(all.rfind(')') + 2));
  std::string skip;
  for (int i = 3; i <= 13; ++i) fields >> skip;
  long user = 0;
  long system = 0;
  fields >> user >> system;
  return user + system;
}

// The far side with plain POSIX calls on the link the program made.
class SimProgramRaw : public sim_test::SimProgram {
 protected:
  int OpenRaw(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_GE(fd, 0) << path;
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);
    return fd;
  }

  // The console's way: one byte per write.
  static void WriteFrame(int fd, const std::vector<std::uint8_t>& frame) {
    for (std::uint8_t b : frame) ASSERT_EQ(::write(fd, &b, 1), 1);
  }

  // The next `count` frames, one hex line each.
  static std::vector<std::string> Frames(int fd, std::size_t count) {
    const std::string got =
        ReadFor(fd, 3000, [&](const std::string& s) { return s.size() >= 10 * count; });
    std::vector<std::string> frames;
    for (std::size_t i = 0; i + 10 <= got.size(); i += 10) {
      frames.push_back(
          sim_test::Hex(std::vector<std::uint8_t>(got.begin() + i, got.begin() + i + 10)));
    }
    return frames;
  }
};

TEST_F(SimProgramRaw, AnswersStatusOnItsLinkAndPutsTheEarlierLinkBack) {
  const std::string folder = prefix_.path() + "/dosdevices";
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  const std::string link = folder + "/com4";
  ASSERT_EQ(::symlink("/dev/earlier-device", link.c_str()), 0);

  Start({"--com", "4"});
  ASSERT_TRUE(ReadLink(link).rfind("/dev/pts/", 0) == 0) << ReadLink(link);
  EXPECT_NE(output_.find("link " + link + " -> " + ReadLink(link)), std::string::npos) << output_;

  const auto status = sim_test::Command("S0000");
  ASSERT_EQ(sim_test::Hex(status), "02 30 30 53 30 30 30 30 75 03");
  int fd = OpenRaw(link);
  WriteFrame(fd, status);
  // The session's first Status is followed by the firmware version.
  EXPECT_EQ(Frames(fd, 2), (std::vector<std::string>{"02 30 30 73 72 30 30 30 D7 03",
                                                     sim_test::Reply("00", 'v', 1, 8, 0, 0)}));
  ::close(fd);

  // With nobody on the port it waits without spinning, and serves the next opener.
  const long before = CpuTicks(pid_);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_LT(CpuTicks(pid_) - before, ::sysconf(_SC_CLK_TCK) / 4);
  fd = OpenRaw(link);
  WriteFrame(fd, sim_test::Command("C0000"));
  EXPECT_EQ(Frames(fd, 1), std::vector<std::string>{sim_test::Reply('c', "0000")});
  ::close(fd);

  EXPECT_EQ(Stop(), 0);
  EXPECT_EQ(ReadLink(link), "/dev/earlier-device");
  EXPECT_NE(output_.find("Status"), std::string::npos) << output_;
}

TEST_F(SimProgramRaw, RemovesItsLinkWhenNoneStoodThereBefore) {
  const std::string link = prefix_.path() + "/dosdevices/com1";
  Start({"--quiet"});
  EXPECT_TRUE(ReadLink(link).rfind("/dev/pts/", 0) == 0);
  EXPECT_EQ(Stop(), 0);
  struct stat st {};
  EXPECT_NE(::lstat(link.c_str(), &st), 0);
}

}  // namespace
