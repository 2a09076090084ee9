#include "app/globals.h"

namespace app {

std::uint32_t PendingCommand = 0;
bool SpaceKeyLatch = false;
std::int32_t BillsRemaining = 0;
platform::AppendTextFile LogFile;
std::string LogFilePath;
std::string RecordFilePath;
comm::TComm* Comm1 = nullptr;
protocol::ReplyAssembler ReplyAssembly;
std::int32_t TestCountAccumulator = 0;
bool StatusButtonShowsStart = true;
std::uint32_t StatusTickCount = 0;
bool DipPollActive = false;
bool DipButtonShowsStop = false;

void SetUpProgramPaths() {
  RecordFilePath = "D://RM460_Record.txt";
  LogFilePath.clear();
}

void ResetProgramState() {
  PendingCommand = 0;
  SpaceKeyLatch = false;
  BillsRemaining = 0;
  LogFile.Close();
  Comm1 = nullptr;
  ReplyAssembly.Reset();
  TestCountAccumulator = 0;
  StatusButtonShowsStart = true;
  StatusTickCount = 0;
  DipPollActive = false;
  DipButtonShowsStop = false;
  SetUpProgramPaths();
}

}  // namespace app
