// Start Protocol and End Protocol: the log banner, the components, the
// control states, a port that will not open, and what End leaves alone.
#include "tests/console/console_fixture.h"

namespace console_test {
namespace {

using ProtocolStartEndTest = ConsoleTest;

const char* const kBanner = "===================\r\n2021/03/03 14:05:09\r\n===================\r\n";

int CountComponents(const app::TForm1& form) {
  int n = 0;
  for (int i = 0; i < form.ComponentCount(); ++i) {
    if (dynamic_cast<comm::TComm*>(form.Components(i)) != nullptr) ++n;
  }
  return n;
}

TEST_F(ProtocolStartEndTest, StartWritesTheBannerOpensThePortAndAsksForTheStatus) {
  device.SetScript([](platform::SimulatedPort& p, const protocol::CommandFrame&, std::uint64_t t) {
    p.Deliver(Bytes(Reply('s', 'r', '0', '0', '0')), t + 20);
  });
  Start();
  const std::string log = LogContent();
  ASSERT_EQ(log.rfind(kBanner, 0), 0u) << log;
  EXPECT_EQ(log, std::string(kBanner) + "Tx : 02 30 30 53 30 30 30 30 75 03 \r\n" +
                     "Rx : 02 30 30 73 72 30 30 30 D7 03 \r\n");
  ASSERT_NE(app::Comm1, nullptr);
  EXPECT_TRUE(app::Comm1->PortOpen());
  EXPECT_EQ(app::Comm1->RThreshold(), 1);
  EXPECT_EQ(app::Comm1->Owner(), form.get());
  EXPECT_EQ(app::LogFilePath, exeDir.File("log.txt"));
  EXPECT_EQ(Lines(form->Memo1), std::vector<std::string>{"Ready..."});
  EXPECT_FALSE(form->StartBtn->Enabled());
  EXPECT_TRUE(form->EndBtn->Enabled());
  EXPECT_TRUE(form->StatusBtn->Enabled());
}

TEST_F(ProtocolStartEndTest, StartEndStartGivesTwoBannersAndTwoComponents) {
  Start();
  comm::TComm* first = app::Comm1;
  form->EndBtn->Click();
  EXPECT_FALSE(first->PortOpen());
  EXPECT_FALSE(app::LogFile.IsOpen());
  loop.RunFor(1000);
  Start();
  EXPECT_NE(app::Comm1, first);
  EXPECT_FALSE(first->PortOpen());
  EXPECT_TRUE(app::Comm1->PortOpen());
  EXPECT_EQ(CountComponents(*form), 2);
  const std::string log = LogContent();
  std::size_t banners = 0;
  for (std::size_t at = log.find("===================\r\n"); at != std::string::npos;
       at = log.find("===================\r\n", at + 1)) {
    ++banners;
  }
  EXPECT_EQ(banners, 4u);                                          // two lines each
  EXPECT_EQ(log.find("===================="), std::string::npos);  // 19, never 20
}

TEST_F(ProtocolStartEndTest, EndResetsPartOfTheWindowAndLeavesTheRest) {
  device.SetScript(
      [](platform::SimulatedPort& p, const protocol::CommandFrame& f, std::uint64_t t) {
        if (f[3] == 'S') p.Deliver(Bytes(Reply('d', 0x00, 0xFF, 0, 0)), t + 20);
      });
  Start();
  form->lblMOTOR->SetCaption("1500");
  form->Memo3->Append("dump");
  form->Button2->Click();
  EXPECT_EQ(form->Lamp(3)->Color(), toolkit::clBlack);
  const std::size_t memo4Lines = form->Memo4->LineCount();

  form->EndBtn->Click();
  EXPECT_EQ(form->Caption(), "");
  EXPECT_TRUE(form->Memo1->Lines().empty());
  EXPECT_TRUE(form->Memo2->Lines().empty());
  for (int n = 1; n <= 10; ++n) EXPECT_EQ(form->Lamp(n)->Color(), toolkit::clAppWorkSpace);
  EXPECT_EQ(form->Memo4->LineCount(), memo4Lines);
  EXPECT_EQ(form->Memo3->LineCount(), 1u);
  EXPECT_EQ(form->lblMOTOR->Caption(), "1500");
  EXPECT_EQ(form->Button2->Caption(), "2 seconds Status - Stop");
  EXPECT_TRUE(loop.TimerRunning(*form->Timer3));
  EXPECT_TRUE(form->StartBtn->Enabled());
  EXPECT_FALSE(form->EndBtn->Enabled());
  EXPECT_FALSE(form->BtnTest->Enabled());

  // A later Start leaves the emptied caption as it is.
  Start();
  EXPECT_EQ(form->Caption(), "");
}

TEST_F(ProtocolStartEndTest, SpaceBarOnStartOrEndDoesNothing) {
  form->StartBtn->KeyDown(toolkit::VK_SPACE);
  form->StartBtn->Click();
  EXPECT_EQ(app::Comm1, nullptr);
  EXPECT_EQ(LogContent(), "");
  Start();
  form->EndBtn->KeyDown(toolkit::VK_SPACE);
  form->EndBtn->Click();
  EXPECT_TRUE(app::Comm1->PortOpen());
}

TEST_F(ProtocolStartEndTest, APortThatWillNotOpenIsToldAndEverythingElseGoesOn) {
  port->SetOpenFailure(platform::ERROR_ACCESS_DENIED);
  Start();
  EXPECT_FALSE(app::Comm1->PortOpen());
  EXPECT_TRUE(form->StatusBtn->Enabled());
  EXPECT_TRUE(form->EndBtn->Enabled());
  EXPECT_EQ(Lines(form->Memo4), std::vector<std::string>{"Tx : 02 30 30 53 30 30 30 30 75 03 "});
  ASSERT_EQ(form->Memo1->LineCount(), 1u);
  const std::string line = form->Memo1->LastLine();
  EXPECT_EQ(line.rfind("COM1 (", 0), 0u) << line;
  EXPECT_NE(line.find("cannot be opened: Permission denied"), std::string::npos) << line;
  EXPECT_EQ(port->CountCalls("WriteFile"), 0u);
  loop.RunFor(1000);
  EXPECT_TRUE(form->Memo2->Lines().empty());
}

TEST_F(ProtocolStartEndTest, AStartAtMidnightReadsTheDateFirst) {
  // The calendar turns between the two readings: the stamp pairs the old
  // date with the time just after midnight.
  int readings = 0;
  const platform::ClockHooks previous = platform::InstallClock({
      [&] { return loop.NowMs(); },
      [&] {
        return readings++ == 0 ? platform::LocalDateTime{2021, 3, 3, 23, 59, 59, 999}
                               : platform::LocalDateTime{2021, 3, 4, 0, 0, 0, 0};
      },
      [&](platform::DWORD ms) { loop.Sleep(ms); },
  });
  form->StartBtn->Click();
  platform::InstallClock(previous);
  EXPECT_EQ(LogContent().rfind("===================\r\n2021/03/03 00:00:00\r\n", 0), 0u);
}

TEST_F(ProtocolStartEndTest, AnUnwritableExecutableFolderPutsTheLogUnderThePrefix) {
  platform::OverrideExecutableFolder(exeDir.File("missing-folder"));
  Start();
  const std::string prefixLog = std::string(std::getenv("RM460_PREFIX")) + "/log.txt";
  EXPECT_EQ(app::LogFilePath, prefixLog);
  ASSERT_FALSE(form->Memo1->Lines().empty());
  EXPECT_EQ(form->Memo1->Lines().front().rfind("Traffic log is " + prefixLog, 0), 0u);
  EXPECT_NE(testing_support::ReadFile(prefixLog).find("Tx : 02 30 30 53"), std::string::npos);
  form->EndBtn->Click();
}

TEST_F(ProtocolStartEndTest, DestroyingTheWindowClosesTheLog) {
  Start();
  form.reset();
  EXPECT_FALSE(app::LogFile.IsOpen());
}

}  // namespace
}  // namespace console_test
