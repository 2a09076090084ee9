// Placeholder bodies; the component lands with its tests.
#include "comm/comm.h"

namespace comm {

TComm::TComm(TComponent* AOwner, TCommSelection) : TComponent(AOwner), FTimer(new toolkit::TTimer(this)) {
  FTimer->SetEnabled(false);
}
TComm::~TComm() = default;
void TComm::SetPortOpen(bool) {}
void TComm::OpenComm() {}
void TComm::CloseComm() {}
void TComm::_SetCommState() {}
void TComm::SetCommPort(TComPortNumber) {}
void TComm::SetBaudRate(TBaudRate) {}
void TComm::SetHwHandShaking(THwHandShaking) {}
void TComm::SetSwHandShaking(TSwHandShaking) {}
void TComm::SetDataBits(TDataBits) {}
void TComm::SetParity(TParity) {}
void TComm::SetStopBits(TStopBits) {}
void TComm::SetDTRStatus(bool) {}
void TComm::SetRTSStatus(bool) {}
void TComm::SetRThreshold(int v) { FRThreshold = v; }
AnsiString TComm::ReadInputData() { return FInput; }
DynamicArray TComm::ReadInputByte() { return FInputBytes; }
DWORD TComm::ReadInDataCount() { return 0; }
void TComm::SetInDataCount(DWORD) {}
bool TComm::OutputChar(char) { return false; }
bool TComm::OutputString(AnsiString) { return false; }
bool TComm::OutputStringchar(const char*) { return false; }
bool TComm::OutputByte(DynamicArray) { return false; }
void TComm::ProcTimer(TObject*) {}
void TComm::GetModemState() {}
void TComm::ReceiveData() {}
void TComm::ModemStateChange(DWORD) {}
void TComm::ReceiveError(DWORD) {}
void TComm::ReadProcess() {}
std::string TComm::DeviceName() const { return "COM1"; }
std::string TComm::DevicePath() const { return ""; }

}  // namespace comm
