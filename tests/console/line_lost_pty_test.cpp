// The lost line on the real termios backend: the console runs on the
// virtual loop with COM2 linked to a pseudo-terminal whose master side the
// test holds and then closes, as a pulled-out adapter would go.
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>

#include "comm/comm.h"
#include "tests/console/console_fixture.h"

namespace console_test {
namespace {

using Clock = std::chrono::steady_clock;
// Bytes cross a pseudo-terminal through a kernel worker; waits for them are
// bounded so that a fault fails the test instead of hanging it.
constexpr auto kArrival = std::chrono::seconds(5);

class LineLostPtyTest : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    ::mkdir((prefix.path() + "/dosdevices").c_str(), 0755);
    form->ComboBox1->SetItemIndex(1);  // COM2
  }

  void TearDown() override {
    CloseMaster();
    ConsoleTest::TearDown();
  }

  // A new pseudo-terminal behind COM2.
  void NewLine() {
    CloseMaster();
    char name[256] = {};
    int slave = -1;
    ASSERT_EQ(::openpty(&master_, &slave, name, nullptr, nullptr), 0);
    ::close(slave);
    slavePath_ = name;
    const std::string link = prefix.path() + "/dosdevices/com2";
    ::unlink(link.c_str());
    ASSERT_EQ(::symlink(name, link.c_str()), 0);
  }

  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

  // The frame the console wrote, as the far side reads it.
  std::string FarSideReads(std::size_t count) {
    std::string got;
    const auto end = Clock::now() + kArrival;
    while (got.size() < count && Clock::now() < end) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      char buffer[64];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }

  // Runs the console in 10 ms steps until `done`, for at most kArrival.
  bool RunUntil(const std::function<bool()>& done) {
    const auto end = Clock::now() + kArrival;
    while (Clock::now() < end) {
      loop.RunFor(10);
      if (done()) return true;
      ::poll(nullptr, 0, 1);
    }
    return false;
  }

  // Start Protocol; the far side answers the Status frame with "Ready".
  void StartAnswered() {
    form->StartBtn->Click();
    ASSERT_TRUE(app::Comm1->PortOpen()) << app::Comm1->LastOpenError();
    const auto status = protocol::MakeFrame('0', '0', "S0000");
    ASSERT_EQ(FarSideReads(protocol::FrameSize), std::string(status.begin(), status.end()));
    const auto reply = Reply('s', 'r', '0', '0', '0');
    ASSERT_EQ(::write(master_, reply.data(), reply.size()), static_cast<ssize_t>(reply.size()));
    ASSERT_TRUE(RunUntil([&] { return form->Memo1->LastLine() == "Ready..."; }))
        << form->Memo1->LastLine();
  }

  int master_ = -1;
  std::string slavePath_;
};

TEST_F(LineLostPtyTest, AClosedMasterIsToldOnceAndEndAndStartRecover) {
  NewLine();
  StartAnswered();
  form->Memo1->Clear();

  CloseMaster();
  loop.RunFor(10);
  ASSERT_EQ(form->Memo1->LineCount(), 1u);
  const std::string lost = form->Memo1->LastLine();
  EXPECT_EQ(lost.rfind("COM2 stopped working: ", 0), 0u) << lost;
  EXPECT_NE(lost.find("(" + slavePath_ + "): the device hung up"), std::string::npos) << lost;
  EXPECT_TRUE(app::Comm1->LineLost());
  loop.RunFor(5000);
  EXPECT_EQ(Lines(form->Memo1), std::vector<std::string>{lost});
  EXPECT_TRUE(loop.TimerRunning(app::Comm1->Timer()));

  // A send goes nowhere and fails nothing.
  form->StatusBtn->Click();
  EXPECT_EQ(form->Memo4->LastLine(), "Tx : 02 30 30 53 30 30 30 30 75 03 ");
  EXPECT_EQ(Lines(form->Memo1), std::vector<std::string>{lost});

  form->EndBtn->Click();
  EXPECT_FALSE(app::Comm1->PortOpen());

  // The adapter is plugged in again (a new device behind the same name).
  NewLine();
  StartAnswered();
  EXPECT_EQ(Lines(form->Memo1), std::vector<std::string>{"Ready..."});
}

}  // namespace
}  // namespace console_test
