#include "sim/options.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace sim {
namespace {

TEST(Options, SetTheDeviceTimingAndFaults) {
  ProgramOptions o;
  std::string error;
  ASSERT_TRUE(
      ParseOptions({"--com",  "3",     "--id",       "07",         "--stack=20",  "--bill-ms",
                    "100",    "--dip", "1000000001", "--password", "9,8,7",       "--test-mode",
                    "--drop", "0.25",  "--split",    "15",         "--jam-after", "4",
                    "--seed", "99",    "--fail-ack", "1",          "--quiet"},
                   o, error))
      << error;
  EXPECT_EQ(o.com, 3);
  EXPECT_EQ(o.settings.state.id, "07");
  EXPECT_EQ(o.settings.state.stack, 20);
  EXPECT_EQ(o.settings.timing.billMs, 100u);
  EXPECT_TRUE(o.settings.state.dipOn[0]);
  EXPECT_FALSE(o.settings.state.dipOn[1]);
  EXPECT_TRUE(o.settings.state.dipOn[9]);
  EXPECT_EQ(o.settings.state.password, (std::array<std::uint8_t, 3>{9, 8, 7}));
  EXPECT_TRUE(o.settings.state.testMode);
  EXPECT_DOUBLE_EQ(o.settings.faults.dropShare, 0.25);
  EXPECT_EQ(o.settings.faults.splitGapMs, 15u);
  EXPECT_EQ(o.settings.faults.jamAfterBills, 4);
  EXPECT_EQ(o.settings.faults.seed, 99u);
  EXPECT_DOUBLE_EQ(o.settings.faults.failShare, 1.0);
  EXPECT_TRUE(o.quiet);
  EXPECT_EQ(LinkPath(o), std::string(std::getenv("RM460_PREFIX")) + "/dosdevices/com3");
  o.device = "/tmp/x/ttyRM";
  EXPECT_EQ(LinkPath(o), "/tmp/x/ttyRM");
}

TEST(Options, RefuseBadInputWithAReason) {
  const std::vector<std::vector<std::string>> bad = {
      {"--id", "7"},     {"--com", "0"},        {"--com"},
      {"--drop", "1.5"}, {"--drop", "x"},       {"--stack", "-1"},
      {"--dip", "10"},   {"--password", "1,2"}, {"--password", "1,2,300"},
      {"--quiet=1"},     {"--nonsense"},        {"--bill-ms", "12ms"}};
  for (const auto& args : bad) {
    ProgramOptions o;
    std::string error;
    EXPECT_FALSE(ParseOptions(args, o, error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

TEST(Options, HelpNamesEveryOption) {
  const std::string help = HelpText();
  for (const char* name :
       {"--com", "--id", "--stack", "--bill-ms", "--quiet", "--device", "--silent", "--drop",
        "--corrupt", "--fail-ack", "--split", "--delay", "--jam-after", "--seed", "--help"}) {
    EXPECT_NE(help.find(name), std::string::npos) << name;
  }
}

}  // namespace
}  // namespace sim
