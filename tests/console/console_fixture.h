// The whole console on the virtual loop, with a simulated port as COM1.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/unit1.h"
#include "comm/comm.h"
#include "platform/paths.h"
#include "platform/simulated_port.h"
#include "protocol/frame.h"
#include "tests/support/environment.h"
#include "tests/support/scripted_device.h"
#include "tests/support/temp_dir.h"
#include "toolkit/virtual_event_loop.h"

namespace console_test {

using testing_support::Bytes;
using testing_support::Reply;

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Each test gets its own prefix, so record files and links never carry over.
    previousPrefix_ = testing_support::Environment("RM460_PREFIX");
    testing_support::SetEnvironment("RM460_PREFIX", prefix.path());
    app::ResetProgramState();
    platform::OverrideExecutableFolder(exeDir.path());
    // The record file's drive lives in the prefix, on every system.
    std::filesystem::create_directories(prefix.File("drive_d"));
    platform::OverrideDriveFolder('D', prefix.File("drive_d"));
    port->RegisterAs("COM1");
    port->Attach(&device);
    form = std::make_unique<app::TForm1>(nullptr);
    form->Created();
  }

  void TearDown() override {
    form.reset();
    port->Unregister();
    platform::OverrideExecutableFolder("");
    platform::OverrideDriveFolder('D', "");
    app::ResetProgramState();
    testing_support::SetEnvironment("RM460_PREFIX", previousPrefix_);
  }

  // Every frame (as a hex line) the console wrote to the port, in order.
  std::vector<std::string> SentFrames() const {
    std::vector<std::string> frames;
    for (const auto& f : device.Frames()) frames.push_back(protocol::HexLine(f));
    return frames;
  }

  // Starts the protocol by a mouse click and lets the first exchange finish.
  void Start() {
    form->StartBtn->Click();
    loop.RunFor(100);
  }

  std::vector<std::string> Lines(const toolkit::TMemo* memo) const {
    return {memo->Lines().begin(), memo->Lines().end()};
  }

  std::string LogContent() const { return testing_support::ReadFile(exeDir.File("log.txt")); }

  toolkit::VirtualEventLoop loop;
  testing_support::TempDir prefix;
  testing_support::TempDir exeDir;
  std::shared_ptr<platform::SimulatedPort> port = platform::SimulatedPort::Create();
  testing_support::ScriptedDevice device;
  std::unique_ptr<app::TForm1> form;

 private:
  std::string previousPrefix_;
};

}  // namespace console_test
