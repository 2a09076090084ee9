// The four output operations and the write calls they make.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "tests/comm/comm_fixture.h"

namespace comm_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace comm;
using namespace platform;

const std::string kEmbeddedZero("AB\0CD", 5);

struct Output {
  const char* name;
  std::function<bool(TComm&)> call;
  bool perByte = false;  // reports the open port, not the writes
};

const Output kOutputs[] = {
    {"OutputChar", [](TComm& c) { return c.OutputChar('\x02'); }},
    {"OutputString", [](TComm& c) { return c.OutputString("ab"); }},
    {"OutputEmptyString", [](TComm& c) { return c.OutputString(""); }},
    {"OutputStringchar", [](TComm& c) { return c.OutputStringchar("ab"); }},
    {"OutputByte",
     [](TComm& c) {
       return c.OutputByte({1, 2});
     },
     true},
    {"OutputEmptyBytes", [](TComm& c) { return c.OutputByte({}); }, true},
};

TEST_F(CommTest, NewOrClosedComponentWritesNothing) {
  TComm& fresh = Make();
  TComm& closed = MakeOpen();
  closed.SetPortOpen(false);
  port->ClearCalls();
  for (const Output& out : kOutputs) {
    EXPECT_FALSE(out.call(fresh)) << out.name;
    EXPECT_FALSE(out.call(closed)) << out.name;
  }
  EXPECT_TRUE(port->Calls().empty());
}

class CommOutputTest : public CommTest {
 protected:
  CommOutputTest() : comm(MakeOpen()) {}

  // The bytes of every write call, one entry per call.
  std::vector<std::string> Writes() const {
    std::vector<std::string> writes;
    for (const auto& call : CallsOf("WriteFile")) {
      EXPECT_EQ(call.args.at(0), call.bytes.size());
      writes.emplace_back(call.bytes.begin(), call.bytes.end());
    }
    return writes;
  }

  TComm& comm;
};

TEST_F(CommOutputTest, OutputCharWritesTheByteUnchanged) {
  EXPECT_TRUE(comm.OutputChar('\x02'));
  EXPECT_TRUE(comm.OutputChar('\xFF'));
  EXPECT_TRUE(comm.OutputChar('\0'));
  EXPECT_THAT(Writes(), ElementsAre("\x02", "\xFF", std::string(1, '\0')));
}

TEST_F(CommOutputTest, OutputStringWritesTheWholeLengthInOneCall) {
  EXPECT_TRUE(comm.OutputString(kEmbeddedZero));
  EXPECT_TRUE(comm.OutputString(""));
  EXPECT_THAT(Writes(), ElementsAre(kEmbeddedZero, ""));
}

TEST_F(CommOutputTest, OutputStringcharStopsAtTheZero) {
  EXPECT_TRUE(comm.OutputStringchar(kEmbeddedZero.c_str()));
  EXPECT_TRUE(comm.OutputStringchar(""));
  EXPECT_THAT(Writes(), ElementsAre("AB", ""));
}

TEST_F(CommOutputTest, OutputByteWritesOneByteAtATime) {
  const DynamicArray bytes{0x10, 0x00, 0xFE};
  EXPECT_TRUE(comm.OutputByte(bytes));
  EXPECT_THAT(Writes(), ElementsAre("\x10", std::string(1, '\0'), "\xFE"));
  EXPECT_THAT(bytes, ElementsAre(0x10, 0x00, 0xFE));

  port->ClearCalls();
  EXPECT_TRUE(comm.OutputByte({}));
  EXPECT_TRUE(port->Calls().empty());
}

// Refuses every write after the first byte it sees.
class FailAfterFirst : public FarSide {
 public:
  void Received(SimulatedPort& port, const std::vector<BYTE>&, std::uint64_t) override {
    port.SetWriteFails(true);
  }
};

TEST_F(CommOutputTest, OutputByteGoesOnAfterAFailedByte) {
  FailAfterFirst device;
  port->Attach(&device);
  EXPECT_TRUE(comm.OutputByte({1, 2, 3}));
  port->Attach(nullptr);

  const auto writes = CallsOf("WriteFile");
  ASSERT_EQ(writes.size(), 3u);
  EXPECT_TRUE(writes[0].result);
  EXPECT_FALSE(writes[1].result);
  EXPECT_THAT(writes[1].bytes, ElementsAre(2));
  EXPECT_THAT(writes[2].bytes, ElementsAre(3));
  EXPECT_THAT(port->Written(), ElementsAre(1));
}

TEST_F(CommOutputTest, FailedWriteIsReportedExceptByOutputByte) {
  port->SetWriteFails(true);
  for (const Output& out : kOutputs) EXPECT_EQ(out.call(comm), out.perByte) << out.name;
  EXPECT_EQ(comm.ReadCommError(), 0u);
  EXPECT_THAT(port->Written(), IsEmpty());
}

}  // namespace
}  // namespace comm_test
