// The whole console on the POSIX backend, without a screen, against the real
// rm460-sim on its pseudo-terminal. The bytes cross a real line, so the loop
// is driven in small steps with short real pauses until the expected state
// is reached, each wait bounded.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "app/globals.h"
#include "app/unit1.h"
#include "platform/paths.h"
#include "protocol/frame.h"
#include "tests/sim/sim_program_fixture.h"
#include "tests/support/scripted_device.h"
#include "tests/support/temp_dir.h"
#include "toolkit/virtual_event_loop.h"

namespace {

using testing_support::Reply;

class ConsoleEndToEnd : public sim_test::SimProgram {
 protected:
  void SetUp() override {
    previousPrefix_ = std::getenv("RM460_PREFIX");
    ::setenv("RM460_PREFIX", prefix_.path().c_str(), 1);
    app::ResetProgramState();
    platform::OverrideExecutableFolder(exeDir_.path());
    form_ = std::make_unique<app::TForm1>(nullptr);
    form_->Created();
  }

  void TearDown() override {
    form_.reset();
    platform::OverrideExecutableFolder("");
    app::ResetProgramState();
    SimProgram::TearDown();
    ::setenv("RM460_PREFIX", previousPrefix_.c_str(), 1);
  }

  // Runs the loop until `done` holds, at most ten seconds of real time.
  bool RunUntil(const std::function<bool()>& done) {
    const auto end = sim_test::Clock::now() + std::chrono::seconds(10);
    while (!done()) {
      if (sim_test::Clock::now() > end) return false;
      loop_.RunFor(10);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

  static std::string Traffic(const char* direction, const protocol::CommandFrame& frame) {
    return std::string(direction) + " : " + protocol::HexLine(frame) + "\r\n";
  }

  // Declared first: the loop outlives the window and its timers.
  toolkit::VirtualEventLoop loop_;
  testing_support::TempDir exeDir_;
  std::unique_ptr<app::TForm1> form_;
  std::string previousPrefix_;
};

TEST_F(ConsoleEndToEnd, StartProtocolAndTheAutoTestAgainstTheSimulatorProgram) {
  const std::string link = prefix_.path() + "/dosdevices/com1";
  Launch({"--com", "1"});
  ASSERT_TRUE(WaitForLink(link, std::chrono::seconds(5))) << sim_test::ReadLink(link);

  form_->StartBtn->Click();
  ASSERT_TRUE(RunUntil([&] { return form_->Caption() == "RM460 1.80"; }))
      << form_->Memo1->LastLine() << " / " << form_->Memo4->LastLine();
  EXPECT_EQ(std::vector<std::string>(form_->Memo1->Lines().begin(), form_->Memo1->Lines().end()),
            std::vector<std::string>{"Ready..."});

  form_->BtnTest->Click();
  ASSERT_TRUE(RunUntil([&] { return form_->lblCOUNTER->Caption() == "Sended"; }));
  EXPECT_EQ(form_->lblMOTOR->Caption(), "1480");
  EXPECT_EQ(form_->lblLIR->Caption(), "512");
  EXPECT_EQ(form_->lblRIR->Caption(), "498");
  EXPECT_EQ(form_->lblENC->Caption(), "OK");
  EXPECT_EQ(form_->lblDISPLAY->Caption(), "Sended");

  form_->EndBtn->Click();
  EXPECT_EQ(Stop(), 0);

  std::string expected = "===================\r\n2021/03/03 14:05:09\r\n===================\r\n" +
                         Traffic("Tx", protocol::MakeFrame('0', '0', "S0000")) +
                         Traffic("Rx", Reply('s', 'r', '0', '0', '0')) +
                         Traffic("Rx", Reply('v', 1, 8, 0, 0));
  const int values[6] = {1480, 512, 498, 36, 0, 0};
  for (int step = 0; step < 6; ++step) {
    const char code = static_cast<char>('0' + step);
    const char field[] = {code, '0', '0', '0', '0', 0};
    expected += Traffic("Tx", protocol::MakeFrame('0', '0', field)) +
                Traffic("Rx", Reply(code, '0', '0', static_cast<std::uint8_t>(values[step] >> 8),
                                    static_cast<std::uint8_t>(values[step] & 0xFF)));
  }
  EXPECT_EQ(testing_support::ReadFile(exeDir_.File("log.txt")), expected);
}

}  // namespace
