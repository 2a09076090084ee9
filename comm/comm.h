// TComm: the serial port component. It owns one port handle, applies the
// line settings, drives DTR and RTS, and polls the port on a 10 ms timer,
// raising events for received bytes, modem-line changes and line errors.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/comm_api.h"
#include "toolkit/component.h"
#include "toolkit/timer.h"

namespace comm {

using platform::DWORD;
using toolkit::TComponent;
using toolkit::TNotifyEvent;
using toolkit::TObject;

// clang-format off
enum TComPortNumber : std::uint8_t {
  pnCOM1, pnCOM2, pnCOM3, pnCOM4, pnCOM5, pnCOM6, pnCOM7, pnCOM8,
  pnCOM9, pnCOM10, pnCOM11, pnCOM12, pnCOM13, pnCOM14, pnCOM15, pnCOM16,
};
// clang-format on
using TBaudRate = std::int32_t;
enum THwHandShaking : std::uint8_t { hhNone, hhNoneRTSON, hhRTSCTS };
enum TSwHandShaking : std::uint8_t { shNone, shXonXoff };
enum TDataBits : std::uint8_t { DB5, DB6, DB7, DB8 };
enum TParity : std::uint8_t { None, Odd, Even, Mark, Space };
enum TStopBits : std::uint8_t { SB1, SB1_5, SB2 };

// 8-bit text with its own length; zero bytes are ordinary characters.
using AnsiString = std::string;
// A byte array handed out by value; a copy never changes afterwards.
using DynamicArray = std::vector<unsigned char>;

using TCommEventMask = std::function<void(TObject* Sender, DWORD EventMask)>;

constexpr int InBufferSize = 8192;

// Where the constructor takes its port and speed from: the selected
// positions of the main window's port and baud-rate lists.
struct TCommSelection {
  int PortIndex = 0;
  int BaudIndex = 3;
};

class TComm : public TComponent {
 public:
  TComm(TComponent* AOwner, TCommSelection selection);
  ~TComm() override;

  // --- lifecycle (settings and opening) ---
  bool PortOpen() const { return FPortOpen; }
  void SetPortOpen(bool value);
  void OpenComm();
  void CloseComm();
  void _SetCommState();

  TComPortNumber CommPort() const { return FCommPort; }
  void SetCommPort(TComPortNumber value);
  TBaudRate BaudRate() const { return FBaudRate; }
  void SetBaudRate(TBaudRate value);
  THwHandShaking GetHwHandShaking() const { return FHwHandShaking; }
  void SetHwHandShaking(THwHandShaking value);
  TSwHandShaking GetSwHandShaking() const { return FSwHandShaking; }
  void SetSwHandShaking(TSwHandShaking value);
  TDataBits DataBits() const { return FDataBits; }
  void SetDataBits(TDataBits value);
  TParity Parity() const { return FParity; }
  void SetParity(TParity value);
  TStopBits StopBits() const { return FStopBits; }
  void SetStopBits(TStopBits value);
  bool GetDTRStatus() const { return FDTRStatus; }
  void SetDTRStatus(bool value);
  bool GetRTSStatus() const { return FRTSStatus; }
  void SetRTSStatus(bool value);

  // Bytes per read, 0 for all that is queued; used clamped into 0 ... 8192.
  int InputLen = 0;
  int RThreshold() const { return FRThreshold; }
  void SetRThreshold(int value);

  // --- receive side ---
  DWORD ReadCommEvent() const { return FCommEvent; }
  DWORD ReadCommError() const { return FCommError; }
  AnsiString ReadInputData();
  DynamicArray ReadInputByte();
  DWORD ReadInDataCount();
  void SetInDataCount(DWORD value);
  bool ReadCDHolding() const { return FCDHolding; }
  bool ReadCTSHolding() const { return FCTSHolding; }
  bool ReadDSRHolding() const { return FDSRHolding; }
  bool ReadRIHolding() const { return FRIHolding; }

  TNotifyEvent OnReceiveData;
  TCommEventMask OnReceiveError;
  TCommEventMask OnModemStateChange;

  // --- output ---
  bool OutputChar(char c);
  bool OutputString(AnsiString s);
  bool OutputStringchar(const char* s);
  bool OutputByte(DynamicArray bytes);

  // The poll step; only the timer calls it.
  void ProcTimer(TObject* Sender);
  void GetModemState();
  void ReceiveData();
  void ModemStateChange(DWORD EventMask);
  void ReceiveError(DWORD EventMask);
  void ReadProcess();

  // Why the last OpenComm failed, in the system's words ("" after a success),
  // and the device the port name resolved to; the console tells the operator.
  const std::string& LastOpenError() const { return FLastOpenError; }
  std::string DevicePath() const;
  // The line stopped working while open (the device vanished): raised once,
  // at the first poll whose port call fails; later polls cost nothing, and
  // reads, writes and settings act as on a closed port. Closing clears it.
  TNotifyEvent OnLineLost;
  bool LineLost() const { return FLineLost; }
  const std::string& LineLostReason() const { return FLineLostReason; }

  // For inspection by tests and the console's diagnostics.
  platform::HANDLE PortHandle() const { return FPortHandle; }
  toolkit::TTimer& Timer() { return *FTimer; }
  bool ParityCheck() const { return FParityCheck; }
  // "COM3" for pnCOM3.
  std::string DeviceName() const;

 private:
  struct ModemLine {
    DWORD statusBit;
    bool TComm::*holding;
    DWORD eventBit;
  };
  static const ModemLine kModemLines[4];

  // A handle is held and the line has not been lost: port calls can be made.
  bool Live() const;
  // Stores a changed line setting and applies it to a live port.
  template <typename T>
  void Apply(T& member, T value);

  toolkit::TTimer* FTimer;
  std::unique_ptr<unsigned char[]> FInBuffer;
  platform::HANDLE FPortHandle = nullptr;
  TComPortNumber FCommPort = pnCOM1;
  bool FPortOpen = false;
  TBaudRate FBaudRate = 0;
  bool FParityCheck = false;
  THwHandShaking FHwHandShaking = hhNone;
  TSwHandShaking FSwHandShaking = shNone;
  TDataBits FDataBits = DB8;
  TParity FParity = None;
  TStopBits FStopBits = SB1;
  int FRThreshold = 0;
  bool FDTRStatus = false;
  bool FRTSStatus = false;
  AnsiString FInput;
  DynamicArray FInputBytes;
  DWORD FCommEvent = 0;
  DWORD FCommError = 0;
  bool FCDHolding = false;
  bool FCTSHolding = false;
  bool FDSRHolding = false;
  bool FRIHolding = false;
  std::string FLastOpenError;
  bool FLineLost = false;
  std::string FLineLostReason;
};

}  // namespace comm
