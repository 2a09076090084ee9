// The 10 ms poll, its events, and the reads of the receive queue.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/comm/comm_fixture.h"

namespace comm_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace comm;
using namespace platform;

class CommReceiveTest : public CommTest {
 protected:
  CommReceiveTest() : comm(MakeOpen()) {
    comm.OnReceiveData = [this](TObject* sender) {
      EXPECT_EQ(sender, &comm);
      ++dataEvents;
      if (readInHandler) reads.push_back(comm.ReadInputData());
    };
    comm.OnModemStateChange = [this](TObject*, DWORD mask) { modemEvents.push_back(mask); };
    comm.OnReceiveError = [this](TObject*, DWORD mask) { errorEvents.push_back(mask); };
  }

  TComm& comm;
  int dataEvents = 0;
  bool readInHandler = true;
  std::vector<std::string> reads;
  std::vector<DWORD> modemEvents;
  std::vector<DWORD> errorEvents;
};

TEST_F(CommReceiveTest, ZeroThresholdNeverRaisesReceiveData) {
  port->Deliver(Bytes(50));
  loop.RunFor(100);
  EXPECT_EQ(dataEvents, 0);
  EXPECT_EQ(port->ReadableCount(), 50u);
}

TEST_F(CommReceiveTest, TickDeliversEveryQueuedByteToTheHandler) {
  comm.SetRThreshold(1);
  port->Deliver("\x06\x15\x02", 25);
  port->Deliver("\x03", 42);

  loop.RunFor(20);
  EXPECT_EQ(dataEvents, 0);
  loop.RunFor(10);
  EXPECT_EQ(dataEvents, 1);
  EXPECT_THAT(reads, ElementsAre("\x06\x15\x02"));
  loop.RunFor(20);
  EXPECT_THAT(reads, ElementsAre("\x06\x15\x02", "\x03"));
  EXPECT_EQ(dataEvents, 2);
}

TEST_F(CommReceiveTest, UnreadBytesRaiseReceiveDataEveryTick) {
  readInHandler = false;
  comm.SetRThreshold(3);
  port->Deliver(Bytes(2));
  loop.RunFor(30);
  EXPECT_EQ(dataEvents, 0);
  port->Deliver(Bytes(1));
  loop.RunFor(50);
  EXPECT_EQ(dataEvents, 5);
}

TEST_F(CommReceiveTest, EachTickPollsOnceAndStopsWhenClosed) {
  loop.RunFor(10);
  EXPECT_THAT(CallNames(), ElementsAre("ClearCommError", "GetCommModemStatus"));
  comm.SetPortOpen(false);
  port->ClearCalls();
  loop.RunFor(100);
  EXPECT_TRUE(port->Calls().empty());
}

TEST_F(CommReceiveTest, HandlerClosingThePortEndsTheTicksPolling) {
  comm.SetRThreshold(1);
  comm.OnReceiveData = [this](TObject*) { comm.SetPortOpen(false); };
  port->SetModemStatus(MS_CTS_ON);
  port->Deliver("x");
  loop.RunFor(10);
  EXPECT_THAT(CallNames(), ElementsAre("ClearCommError", "CloseHandle"));
  EXPECT_FALSE(comm.PortOpen());
}

TEST_F(CommReceiveTest, ModemLinesAreReportedEveryTickUntilTheyChange) {
  port->SetModemStatus(MS_DSR_ON | MS_CTS_ON);
  loop.RunFor(30);
  EXPECT_THAT(modemEvents, ElementsAre(0x0018u, 0x0018u, 0x0018u));
  EXPECT_TRUE(comm.ReadDSRHolding());
  EXPECT_TRUE(comm.ReadCTSHolding());
  EXPECT_FALSE(comm.ReadCDHolding());
  EXPECT_FALSE(comm.ReadRIHolding());

  port->SetModemStatus(MS_CTS_ON);
  loop.RunFor(10);
  EXPECT_EQ(modemEvents.back(), 0x0008u);
  EXPECT_EQ(comm.ReadCommEvent(), 0x0008u);
  EXPECT_FALSE(comm.ReadDSRHolding());

  port->SetModemStatus(0);
  loop.RunFor(30);
  EXPECT_EQ(comm.ReadCommEvent(), 0u);
  EXPECT_EQ(modemEvents.size(), 4u);
}

TEST_F(CommReceiveTest, EachModemLineHasItsEventBit) {
  struct Line {
    DWORD status;
    DWORD event;
    bool (TComm::*holding)() const;
  };
  const Line lines[] = {{MS_RLSD_ON, EV_RLSD, &TComm::ReadCDHolding},
                        {MS_DSR_ON, EV_DSR, &TComm::ReadDSRHolding},
                        {MS_RING_ON, EV_RING, &TComm::ReadRIHolding},
                        {MS_CTS_ON, EV_CTS, &TComm::ReadCTSHolding}};
  for (const Line& line : lines) {
    port->SetModemStatus(line.status);
    loop.RunFor(10);
    EXPECT_EQ(comm.ReadCommEvent(), line.event) << std::hex << line.status;
    EXPECT_TRUE((comm.*line.holding)());
  }
  port->SetModemStatus(MS_RLSD_ON | MS_DSR_ON | MS_RING_ON | MS_CTS_ON);
  loop.RunFor(10);
  EXPECT_EQ(comm.ReadCommEvent(), 0x0138u);
}

TEST_F(CommReceiveTest, FailedModemStatusChangesNothing) {
  port->SetModemStatus(MS_DSR_ON);
  loop.RunFor(10);
  port->SetModemStatusFails(true);
  port->SetModemStatus(0);
  loop.RunFor(20);
  EXPECT_TRUE(comm.ReadDSRHolding());
  EXPECT_EQ(comm.ReadCommEvent(), EV_DSR);
  EXPECT_FALSE(comm.LineLost());
}

TEST_F(CommReceiveTest, ModemStateSurvivesClosingAndReopening) {
  port->SetModemStatus(MS_DSR_ON);
  loop.RunFor(10);
  comm.SetPortOpen(false);
  port->SetModemStatus(0);
  EXPECT_EQ(comm.ReadCommEvent(), EV_DSR);
  comm.SetPortOpen(true);
  EXPECT_TRUE(comm.ReadDSRHolding());
  loop.RunFor(10);
  EXPECT_FALSE(comm.ReadDSRHolding());
  EXPECT_EQ(comm.ReadCommEvent(), 0u);
}

TEST_F(CommReceiveTest, LineErrorIsReportedInTheTickThatFetchesIt) {
  port->RaiseErrors(CE_FRAME | CE_OVERRUN);
  loop.RunFor(10);
  EXPECT_THAT(errorEvents, ElementsAre(CE_FRAME | CE_OVERRUN));
  EXPECT_EQ(comm.ReadCommError(), CE_FRAME | CE_OVERRUN);
  loop.RunFor(10);
  EXPECT_EQ(errorEvents.size(), 1u);
  EXPECT_EQ(comm.ReadCommError(), 0u);
}

TEST_F(CommReceiveTest, ReadInTheDataHandlerReplacesTheTicksError) {
  comm.SetRThreshold(1);
  port->Deliver("ab");
  port->RaiseErrors(CE_RXPARITY);
  loop.RunFor(30);
  EXPECT_THAT(reads, ElementsAre("ab"));
  EXPECT_THAT(errorEvents, IsEmpty());
  EXPECT_EQ(comm.ReadCommError(), 0u);
}

TEST_F(CommReceiveTest, InDataCountCountsAndSwallowsErrors) {
  port->Deliver(Bytes(7));
  port->RaiseErrors(CE_BREAK);
  EXPECT_EQ(comm.ReadInDataCount(), 7u);
  EXPECT_EQ(comm.ReadCommError(), 0u);
  EXPECT_EQ(port->ReadableCount(), 7u);
  loop.RunFor(30);
  EXPECT_THAT(errorEvents, IsEmpty());
}

TEST_F(CommReceiveTest, SetInDataCountZeroEmptiesTheQueue) {
  port->Deliver(Bytes(9));
  comm.SetInDataCount(5);
  EXPECT_TRUE(port->Calls().empty());
  EXPECT_EQ(port->ReadableCount(), 9u);
  comm.SetInDataCount(0);
  EXPECT_THAT(CallsOf("PurgeComm").at(0).args, ElementsAre(PURGE_RXCLEAR));
  EXPECT_EQ(port->ReadableCount(), 0u);
}

// --- reads ---

TEST_F(CommReceiveTest, EmptyQueueReturnsThePreviousBlock) {
  EXPECT_EQ(comm.ReadInputData(), "");
  EXPECT_THAT(comm.ReadInputByte(), IsEmpty());
  port->Deliver("first");
  EXPECT_EQ(comm.ReadInputData(), "first");
  EXPECT_EQ(comm.ReadInputData(), "first");
  EXPECT_THAT(comm.ReadInputByte(), ElementsAre('f', 'i', 'r', 's', 't'));
  EXPECT_EQ(CallsOf("ReadFile").size(), 1u);
}

TEST_F(CommReceiveTest, ZeroByteIsPartOfTheBlock) {
  port->Deliver(std::vector<BYTE>{0x02, 0x00, 0x03});
  const AnsiString block = comm.ReadInputData();
  EXPECT_EQ(block.size(), 3u);
  EXPECT_EQ(block, std::string("\x02\x00\x03", 3));
}

TEST_F(CommReceiveTest, BlocksHandedOutNeverChange) {
  port->Deliver("one");
  const AnsiString text = comm.ReadInputData();
  const DynamicArray bytes = comm.ReadInputByte();
  port->Deliver("second");
  const DynamicArray next = comm.ReadInputByte();
  EXPECT_EQ(text, "one");
  EXPECT_THAT(bytes, ElementsAre('o', 'n', 'e'));
  EXPECT_EQ(std::string(next.begin(), next.end()), "second");
  EXPECT_EQ(comm.ReadInputData(), "second");
}

TEST_F(CommReceiveTest, FullBufferIsReadButOneMoreIsDropped) {
  port->Deliver("prev");
  comm.ReadInputData();

  port->Deliver(Bytes(8192, 1));
  const AnsiString full = comm.ReadInputData();
  ASSERT_EQ(full.size(), 8192u);
  EXPECT_EQ(static_cast<BYTE>(full[8191]), static_cast<BYTE>(1 + 8191));
  EXPECT_EQ(port->PendingCount(), 0u);

  port->Deliver("last");
  comm.ReadInputData();
  port->ClearCalls();
  port->Deliver(Bytes(8193));
  EXPECT_EQ(comm.ReadInputData(), "last");
  EXPECT_EQ(port->PendingCount(), 0u);
  EXPECT_THAT(CallNames(), ElementsAre("ClearCommError", "PurgeComm"));
  EXPECT_THAT(CallsOf("PurgeComm")[0].args, ElementsAre(PURGE_RXCLEAR));
}

TEST_F(CommReceiveTest, InputLenReadsAFixedCount) {
  comm.InputLen = 4;
  port->Deliver(Bytes(10));
  EXPECT_THAT(comm.ReadInputByte(), ElementsAre(0, 1, 2, 3));
  EXPECT_EQ(port->ReadableCount(), 6u);

  port->Deliver(Bytes(2, 100));
  comm.InputLen = 10;
  EXPECT_EQ(comm.ReadInputByte().size(), 8u);
  comm.InputLen = 4;
  port->Deliver(Bytes(2, 50));
  // Asks for 4, gets what the port delivers.
  EXPECT_THAT(comm.ReadInputByte(), ElementsAre(50, 51));
  EXPECT_THAT(CallsOf("ReadFile").back().args, ElementsAre(4u));
}

TEST_F(CommReceiveTest, InputLenOutsideTheBufferIsClamped) {
  struct Case {
    int inputLen;
    DWORD asked;
  };
  for (const Case c : {Case{-5, 10}, Case{9000, 8192}, Case{8192, 8192}}) {
    comm.InputLen = c.inputLen;
    port->ClearCalls();
    port->Deliver(Bytes(10));
    EXPECT_EQ(comm.ReadInputByte().size(), 10u) << c.inputLen;
    EXPECT_THAT(CallsOf("ReadFile").at(0).args, ElementsAre(c.asked)) << c.inputLen;
  }
}

TEST_F(CommReceiveTest, FailedReadKeepsThePreviousBlock) {
  port->Deliver("good");
  comm.ReadInputData();
  port->SetReadFails(true);
  port->Deliver("lost");
  EXPECT_EQ(comm.ReadInputData(), "good");
  port->SetReadFails(false);
  EXPECT_EQ(comm.ReadInputData(), "lost");
}

TEST_F(CommReceiveTest, ClosedComponentReadsNothing) {
  port->Deliver("kept");
  comm.ReadInputData();
  comm.SetPortOpen(false);
  port->ClearCalls();

  EXPECT_EQ(comm.ReadInputData(), "kept");
  EXPECT_THAT(comm.ReadInputByte(), ElementsAre('k', 'e', 'p', 't'));
  EXPECT_EQ(comm.ReadInDataCount(), 0u);
  comm.SetInDataCount(0);
  comm.ReadProcess();
  comm.GetModemState();
  comm.ProcTimer(&comm);
  EXPECT_TRUE(port->Calls().empty());

  // The block survives a reopen too.
  comm.SetPortOpen(true);
  EXPECT_EQ(comm.ReadInputData(), "kept");
}

}  // namespace
}  // namespace comm_test
