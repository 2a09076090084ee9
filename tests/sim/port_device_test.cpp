#include "sim/port_device.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/comm_api.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::Command;
using sim_test::Hex;
using sim_test::Reply;

// The console's view: a simulated port opened through the comm API, on a
// clock that only moves when the test says so.
class PortDeviceTest : public testing::Test {
 protected:
  void SetUp() override {
    previous_ = platform::InstallClock({[this] { return now_; }, {}, {}});
    port_ = platform::SimulatedPort::Create();
    port_->RegisterAs("COM5");
    port_->Attach(&device_);
    handle_ = platform::CreateFileA("COM5", platform::GENERIC_READ | platform::GENERIC_WRITE, 0,
                                    nullptr, platform::OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle_, platform::INVALID_HANDLE_VALUE);
  }
  void TearDown() override {
    platform::CloseHandle(handle_);
    port_->Unregister();
    platform::InstallClock(previous_);
  }

  // One byte per write, as the console sends a frame.
  void Write(const std::vector<std::uint8_t>& bytes) {
    for (std::uint8_t b : bytes) {
      platform::DWORD written = 0;
      ASSERT_TRUE(platform::WriteFile(handle_, &b, 1, &written, nullptr));
    }
  }
  std::string ReadAt(std::uint64_t ms) {
    now_ = ms;
    std::uint8_t buffer[64];
    platform::DWORD got = 0;
    EXPECT_TRUE(platform::ReadFile(handle_, buffer, sizeof(buffer), &got, nullptr));
    return Hex(std::vector<std::uint8_t>(buffer, buffer + got));
  }

  std::uint64_t now_ = 0;
  platform::ClockHooks previous_;
  PortDevice device_;
  std::shared_ptr<platform::SimulatedPort> port_;
  platform::HANDLE handle_ = platform::INVALID_HANDLE_VALUE;
};

TEST_F(PortDeviceTest, RepliesBecomeReadableAtTheirDueTime) {
  now_ = 100;
  Write(Command("S0000"));
  EXPECT_EQ(ReadAt(124), "");
  EXPECT_EQ(ReadAt(125), Reply('s', "r000"));
  EXPECT_EQ(ReadAt(155), Reply("00", 'v', 1, 8, 0, 0));
}

TEST_F(PortDeviceTest, EveryOpeningOfThePortIsANewSession) {
  Write(Command("S0000"));
  EXPECT_EQ(ReadAt(100), Reply('s', "r000") + " " + Reply("00", 'v', 1, 8, 0, 0));
  Write(Command("S0000"));
  EXPECT_EQ(ReadAt(200), Reply('s', "r000"));

  // Opened anew, the device follows the next Status with the version again.
  platform::CloseHandle(handle_);
  handle_ = platform::CreateFileA("COM5", platform::GENERIC_READ | platform::GENERIC_WRITE, 0,
                                  nullptr, platform::OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle_, platform::INVALID_HANDLE_VALUE);
  Write(Command("S0000"));
  EXPECT_EQ(ReadAt(300), Reply('s', "r000") + " " + Reply("00", 'v', 1, 8, 0, 0));
}

TEST_F(PortDeviceTest, AStatusDuringADispenseIsReadBeforeTheCount) {
  Write(Command("S0000"));  // the session's first Status, with the version reply
  ReadAt(100);
  now_ = 1000;
  Write(Command("B0005"));  // the count is due at 2280
  EXPECT_EQ(ReadAt(1005), "06");
  now_ = 1500;
  Write(Command("S0000"));
  EXPECT_EQ(ReadAt(1525), Reply('s', "w000"));
  EXPECT_EQ(ReadAt(2279), "");
  EXPECT_EQ(ReadAt(2280), Reply('b', "0005"));
  EXPECT_EQ(device_.model().state().total, 5);
}

}  // namespace
}  // namespace sim
