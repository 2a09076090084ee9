// The program-wide state of the console, owned by the main window's unit.
#pragma once

#include <cstdint>
#include <string>

#include "platform/text_file.h"
#include "protocol/reply_assembler.h"

namespace comm {
class TComm;
}

namespace app {

// The command whose acknowledgement text the next ACK shows (0 … 10).
extern std::uint32_t PendingCommand;
// Set by a space-bar key-down on a bound button; the next guarded click
// handler clears it and does nothing else.
extern bool SpaceKeyLatch;
// Bills still to dispense in single-bill stepping.
extern std::int32_t BillsRemaining;
// The traffic log, open from Start Protocol to End Protocol, and its path.
extern platform::AppendTextFile LogFile;
extern std::string LogFilePath;
// The status record file; never changed after program start.
extern std::string RecordFilePath;
// The serial component of the latest Start Protocol (owned by the window).
extern comm::TComm* Comm1;

// The reply being assembled from the received bytes (RxFrame, FramePos,
// FrameInProgress); it lives from one receive call to the next.
extern protocol::ReplyAssembler ReplyAssembly;
// The bill record's count, built from a 'y' and a 'z' reply.
extern std::int32_t TestCountAccumulator;

// The two polls.
extern bool StatusButtonShowsStart;
extern std::uint32_t StatusTickCount;
extern bool DipPollActive;
extern bool DipButtonShowsStop;

// Program start, step 1: the paths.
void SetUpProgramPaths();
// Back to the values at program start (tests run many consoles in one process).
void ResetProgramState();

}  // namespace app
