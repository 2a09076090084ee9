#include "comm/comm.h"

#include <algorithm>
#include <cstring>

#include "platform/paths.h"
#include "toolkit/event_loop.h"

namespace comm {
namespace {

constexpr TBaudRate kBaudRates[] = {1200, 2400, 4800, 9600, 19200, 38400};
constexpr int kPortChoices = 8;  // the list positions that name a port: COM1 ... COM8
constexpr std::uint32_t kPollIntervalMs = 10;
constexpr DWORD kQueueSize = 8192;

}  // namespace

// The modem lines in the order they are polled, with the status bit that
// reports them and the event bit they stand for in CommEvent.
const TComm::ModemLine TComm::kModemLines[] = {
    {platform::MS_RLSD_ON, &TComm::FCDHolding, platform::EV_RLSD},
    {platform::MS_DSR_ON, &TComm::FDSRHolding, platform::EV_DSR},
    {platform::MS_RING_ON, &TComm::FRIHolding, platform::EV_RING},
    {platform::MS_CTS_ON, &TComm::FCTSHolding, platform::EV_CTS},
};

TComm::TComm(TComponent* AOwner, TCommSelection selection)
    : TComponent(AOwner),
      FTimer(new toolkit::TTimer(this)),
      FInBuffer(std::make_unique<unsigned char[]>(InBufferSize)) {
  FTimer->SetEnabled(false);
  FTimer->SetInterval(kPollIntervalMs);
  FTimer->OnTimer = [this](TObject* Sender) { ProcTimer(Sender); };

  if (selection.PortIndex >= 0 && selection.PortIndex < kPortChoices) {
    FCommPort = static_cast<TComPortNumber>(selection.PortIndex);
  }
  // A baud position outside the list gives the usual 9600 rather than a
  // speed of 0 that no port accepts.
  const int baudChoices = static_cast<int>(std::size(kBaudRates));
  FBaudRate = selection.BaudIndex >= 0 && selection.BaudIndex < baudChoices
                  ? kBaudRates[selection.BaudIndex]
                  : 9600;
}

// A component that goes away with its port still open releases the port, so
// the device is free for the next one.
TComm::~TComm() {
  CloseComm();
}

bool TComm::Live() const {
  return FPortHandle != nullptr && !FLineLost;
}

// --- lifecycle -------------------------------------------------------------

void TComm::SetPortOpen(bool value) {
  // Opening an already open component keeps its poll running: stopping it
  // would leave an open port that nobody reads.
  if (value && FPortOpen) {
    FTimer->SetEnabled(true);
    return;
  }
  FTimer->SetEnabled(false);
  if (value) {
    OpenComm();
  } else {
    CloseComm();
  }
}

std::string TComm::DeviceName() const {
  return "COM" + std::to_string(FCommPort + 1);
}

std::string TComm::DevicePath() const {
  return platform::ResolveComDevice(DeviceName());
}

void TComm::OpenComm() {
  // A second open would lose the handle already held.
  if (FPortHandle != nullptr) return;

  const std::string name = DeviceName();
  platform::HANDLE handle =
      platform::CreateFileA(name.c_str(), platform::GENERIC_READ | platform::GENERIC_WRITE, 0,
                            nullptr, platform::OPEN_EXISTING, 0, nullptr);
  if (handle == platform::INVALID_HANDLE_VALUE) {
    FLastOpenError = platform::LastErrorText();
    return;
  }
  if (!platform::SetupComm(handle, kQueueSize, kQueueSize)) {
    FLastOpenError = platform::LastErrorText();
    platform::CloseHandle(handle);
    return;
  }
  FLastOpenError.clear();
  FLineLost = false;
  FLineLostReason.clear();
  FPortHandle = handle;

  platform::PurgeComm(FPortHandle, platform::PURGE_TXABORT | platform::PURGE_RXABORT |
                                       platform::PURGE_TXCLEAR | platform::PURGE_RXCLEAR);
  _SetCommState();
  // DTR is raised at every open; RTS follows the request, after the line
  // settings so that it overrides what the RTS mode just set.
  FDTRStatus = true;
  SetDTRStatus(FDTRStatus);
  SetRTSStatus(FRTSStatus);

  FPortOpen = true;
  FTimer->SetEnabled(true);
}

void TComm::CloseComm() {
  if (FPortHandle == nullptr) return;
  platform::CloseHandle(FPortHandle);
  FPortOpen = false;
  FPortHandle = nullptr;
  // A closed component can be opened again once the device is back.
  FLineLost = false;
  FLineLostReason.clear();
}

void TComm::_SetCommState() {
  // Only the fields below are ours; everything else stays as the port has it.
  platform::DCB dcb{};
  platform::GetCommState(FPortHandle, &dcb);

  dcb.BaudRate = static_cast<DWORD>(FBaudRate);
  dcb.fBinary = 1;
  dcb.Parity = static_cast<platform::BYTE>(FParity);
  FParityCheck = FParity != None;
  // The console runs without parity; with one configured the bit is still
  // received but not checked by the driver.
  if (FParityCheck) dcb.fParity = 0;

  switch (FHwHandShaking) {
    case hhNone:
      dcb.fRtsControl = platform::RTS_CONTROL_DISABLE;
      break;
    case hhNoneRTSON:
      dcb.fRtsControl = platform::RTS_CONTROL_ENABLE;
      break;
    case hhRTSCTS:
      dcb.fRtsControl = platform::RTS_CONTROL_HANDSHAKE;
      dcb.fOutxCtsFlow = 1;
      break;
  }
  if (FSwHandShaking == shXonXoff) {
    dcb.fOutX = 1;
    dcb.fInX = 1;
  }
  dcb.ByteSize = static_cast<platform::BYTE>(FDataBits + 5);
  dcb.StopBits = static_cast<platform::BYTE>(FStopBits);

  platform::SetCommState(FPortHandle, &dcb);
}

// --- settings --------------------------------------------------------------

template <typename T>
void TComm::Apply(T& member, T value) {
  if (member == value) return;
  member = value;
  if (Live()) _SetCommState();
}

void TComm::SetCommPort(TComPortNumber value) {
  FCommPort = value;
}
void TComm::SetBaudRate(TBaudRate value) {
  Apply(FBaudRate, value);
}
void TComm::SetHwHandShaking(THwHandShaking value) {
  Apply(FHwHandShaking, value);
}
void TComm::SetSwHandShaking(TSwHandShaking value) {
  Apply(FSwHandShaking, value);
}
void TComm::SetDataBits(TDataBits value) {
  Apply(FDataBits, value);
}
void TComm::SetParity(TParity value) {
  Apply(FParity, value);
}
void TComm::SetStopBits(TStopBits value) {
  Apply(FStopBits, value);
}

void TComm::SetDTRStatus(bool value) {
  FDTRStatus = value;
  if (Live())
    platform::EscapeCommFunction(FPortHandle, value ? platform::SETDTR : platform::CLRDTR);
}

void TComm::SetRTSStatus(bool value) {
  FRTSStatus = value;
  if (Live())
    platform::EscapeCommFunction(FPortHandle, value ? platform::SETRTS : platform::CLRRTS);
}

void TComm::SetRThreshold(int value) {
  FRThreshold = value;
}

// --- receive side ----------------------------------------------------------

void TComm::ProcTimer(TObject*) {
  if (FPortHandle == nullptr) return;
  // A lost line is reported once; polling it again would only fail again.
  if (FLineLost) return;

  DWORD errors = 0;
  platform::COMSTAT stat{};
  if (!platform::ClearCommError(FPortHandle, &errors, &stat)) {
    // The handle is open but the device is gone: the flags and the queue
    // count mean nothing, so the tick ends here.
    FLineLost = true;
    FLineLostReason = platform::LastErrorText();
    if (OnLineLost) OnLineLost(this);
    return;
  }
  FCommError = errors;
  if (FRThreshold > 0 && stat.cbInQue >= static_cast<DWORD>(FRThreshold)) ReceiveData();

  // The handlers may have closed the port; what follows then finds nothing
  // to poll and reports the last known state.
  GetModemState();
  toolkit::Application().ProcessMessages();
  if (FCommEvent != 0) ModemStateChange(FCommEvent);
  toolkit::Application().ProcessMessages();
  // A read inside the data handler has replaced the flags of this tick.
  if (FCommError != 0) ReceiveError(FCommError);
  toolkit::Application().ProcessMessages();
}

void TComm::GetModemState() {
  if (!Live()) return;
  DWORD status = 0;
  if (!platform::GetCommModemStatus(FPortHandle, &status)) return;
  for (const ModemLine& line : kModemLines) {
    bool& holding = this->*line.holding;
    const bool on = (status & line.statusBit) != 0;
    if (on && !holding) FCommEvent += line.eventBit;
    if (!on && holding) FCommEvent -= line.eventBit;
    holding = on;
  }
}

void TComm::ReceiveData() {
  if (OnReceiveData) OnReceiveData(this);
}

void TComm::ModemStateChange(DWORD EventMask) {
  if (OnModemStateChange) OnModemStateChange(this, EventMask);
}

void TComm::ReceiveError(DWORD EventMask) {
  if (OnReceiveError) OnReceiveError(this, EventMask);
}

void TComm::ReadProcess() {
  if (!Live()) return;
  DWORD errors = 0;
  platform::COMSTAT stat{};
  if (!platform::ClearCommError(FPortHandle, &errors, &stat)) return;
  FCommError = errors;
  if (stat.cbInQue == 0) return;

  // InputLen outside 0 ... 8192 is clamped into that range: a read never
  // asks for more than the buffer holds, and a negative length reads all.
  const int wanted = std::clamp(InputLen, 0, InBufferSize);
  const DWORD count = wanted != 0 ? static_cast<DWORD>(wanted) : stat.cbInQue;
  if (stat.cbInQue > static_cast<DWORD>(InBufferSize)) {
    // More than the buffer holds: drop the lot rather than deliver a part.
    platform::PurgeComm(FPortHandle, platform::PURGE_RXCLEAR);
    return;
  }

  DWORD got = 0;
  if (!platform::ReadFile(FPortHandle, FInBuffer.get(), count, &got, nullptr)) return;
  got = std::min(got, count);
  FInput.assign(reinterpret_cast<const char*>(FInBuffer.get()), got);
  FInputBytes.assign(FInBuffer.get(), FInBuffer.get() + got);
}

AnsiString TComm::ReadInputData() {
  ReadProcess();
  return FInput;
}

DynamicArray TComm::ReadInputByte() {
  ReadProcess();
  return FInputBytes;
}

DWORD TComm::ReadInDataCount() {
  if (!Live()) return 0;
  // The flags this call clears in the driver are deliberately not kept.
  DWORD errors = 0;
  platform::COMSTAT stat{};
  if (!platform::ClearCommError(FPortHandle, &errors, &stat)) return 0;
  return stat.cbInQue;
}

void TComm::SetInDataCount(DWORD value) {
  if (value == 0 && Live()) platform::PurgeComm(FPortHandle, platform::PURGE_RXCLEAR);
}

// --- output ----------------------------------------------------------------

bool TComm::OutputChar(char c) {
  if (!Live()) return false;
  DWORD written = 0;
  return platform::WriteFile(FPortHandle, &c, 1, &written, nullptr) != platform::FALSE;
}

bool TComm::OutputString(AnsiString s) {
  if (!Live()) return false;
  DWORD written = 0;
  return platform::WriteFile(FPortHandle, s.data(), static_cast<DWORD>(s.size()), &written,
                             nullptr) != platform::FALSE;
}

bool TComm::OutputStringchar(const char* s) {
  if (!Live()) return false;
  DWORD written = 0;
  return platform::WriteFile(FPortHandle, s, static_cast<DWORD>(std::strlen(s)), &written,
                             nullptr) != platform::FALSE;
}

bool TComm::OutputByte(DynamicArray bytes) {
  if (!Live()) return false;
  // Byte by byte; a failed byte does not stop the rest.
  for (unsigned char b : bytes) {
    DWORD written = 0;
    platform::WriteFile(FPortHandle, &b, 1, &written, nullptr);
  }
  return true;
}

}  // namespace comm
