// The serial communications calls that the port component makes, declared in
// our own words. On Linux they run over termios (or a simulated port that a
// test registers); the Windows build forwards real ports to the system.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using BYTE = std::uint8_t;
using BOOL = int;
using HANDLE = void*;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

// CreateFileA access, sharing and creation values.
constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD OPEN_EXISTING = 3;

// PurgeComm flags.
constexpr DWORD PURGE_TXABORT = 0x0001;
constexpr DWORD PURGE_RXABORT = 0x0002;
constexpr DWORD PURGE_TXCLEAR = 0x0004;
constexpr DWORD PURGE_RXCLEAR = 0x0008;

// EscapeCommFunction codes.
constexpr DWORD SETXOFF = 1;
constexpr DWORD SETXON = 2;
constexpr DWORD SETRTS = 3;
constexpr DWORD CLRRTS = 4;
constexpr DWORD SETDTR = 5;
constexpr DWORD CLRDTR = 6;
constexpr DWORD SETBREAK = 8;
constexpr DWORD CLRBREAK = 9;

// GetCommModemStatus bits.
constexpr DWORD MS_CTS_ON = 0x0010;
constexpr DWORD MS_DSR_ON = 0x0020;
constexpr DWORD MS_RING_ON = 0x0040;
constexpr DWORD MS_RLSD_ON = 0x0080;

// Event bits the component keeps in CommEvent.
constexpr DWORD EV_RXCHAR = 0x0001;
constexpr DWORD EV_CTS = 0x0008;
constexpr DWORD EV_DSR = 0x0010;
constexpr DWORD EV_RLSD = 0x0020;
constexpr DWORD EV_RING = 0x0100;

// ClearCommError error flags.
constexpr DWORD CE_RXOVER = 0x0001;
constexpr DWORD CE_OVERRUN = 0x0002;
constexpr DWORD CE_RXPARITY = 0x0004;
constexpr DWORD CE_FRAME = 0x0008;
constexpr DWORD CE_BREAK = 0x0010;

// DCB values.
constexpr BYTE NOPARITY = 0;
constexpr BYTE ODDPARITY = 1;
constexpr BYTE EVENPARITY = 2;
constexpr BYTE MARKPARITY = 3;
constexpr BYTE SPACEPARITY = 4;
constexpr BYTE ONESTOPBIT = 0;
constexpr BYTE ONE5STOPBITS = 1;
constexpr BYTE TWOSTOPBITS = 2;
constexpr DWORD DTR_CONTROL_DISABLE = 0;
constexpr DWORD DTR_CONTROL_ENABLE = 1;
constexpr DWORD DTR_CONTROL_HANDSHAKE = 2;
constexpr DWORD RTS_CONTROL_DISABLE = 0;
constexpr DWORD RTS_CONTROL_ENABLE = 1;
constexpr DWORD RTS_CONTROL_HANDSHAKE = 2;
constexpr DWORD RTS_CONTROL_TOGGLE = 3;

// Error codes kept by GetLastError.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_BAD_COMMAND = 22;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_OPERATION_ABORTED = 995;
constexpr DWORD ERROR_DEVICE_REMOVED = 1617;

// Line settings of a port. The bit fields are plain members here; their
// meaning and value ranges are those of the comm API.
struct DCB {
  DWORD DCBlength = sizeof(DCB);
  DWORD BaudRate = 0;
  DWORD fBinary = 0;
  DWORD fParity = 0;
  DWORD fOutxCtsFlow = 0;
  DWORD fOutxDsrFlow = 0;
  DWORD fDtrControl = 0;
  DWORD fDsrSensitivity = 0;
  DWORD fTXContinueOnXoff = 0;
  DWORD fOutX = 0;
  DWORD fInX = 0;
  DWORD fErrorChar = 0;
  DWORD fNull = 0;
  DWORD fRtsControl = 0;
  DWORD fAbortOnError = 0;
  WORD XonLim = 0;
  WORD XoffLim = 0;
  BYTE ByteSize = 8;
  BYTE Parity = NOPARITY;
  BYTE StopBits = ONESTOPBIT;
  char XonChar = 0x11;
  char XoffChar = 0x13;
  char ErrorChar = 0;
  char EofChar = 0;
  char EvtChar = 0;
};

struct COMSTAT {
  DWORD fCtsHold = 0;
  DWORD fDsrHold = 0;
  DWORD fRlsdHold = 0;
  DWORD fXoffHold = 0;
  DWORD fXoffSent = 0;
  DWORD fEof = 0;
  DWORD fTxim = 0;
  DWORD cbInQue = 0;
  DWORD cbOutQue = 0;
};

HANDLE CreateFileA(const char* lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   void* lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
BOOL SetupComm(HANDLE hFile, DWORD dwInQueue, DWORD dwOutQueue);
BOOL PurgeComm(HANDLE hFile, DWORD dwFlags);
BOOL GetCommState(HANDLE hFile, DCB* lpDCB);
BOOL SetCommState(HANDLE hFile, DCB* lpDCB);
BOOL EscapeCommFunction(HANDLE hFile, DWORD dwFunc);
BOOL ClearCommError(HANDLE hFile, DWORD* lpErrors, COMSTAT* lpStat);
BOOL GetCommModemStatus(HANDLE hFile, DWORD* lpModemStat);
BOOL ReadFile(HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, DWORD* lpNumberOfBytesRead,
              void* lpOverlapped);
BOOL WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
               DWORD* lpNumberOfBytesWritten, void* lpOverlapped);
BOOL CloseHandle(HANDLE hObject);

DWORD GetLastError();
void SetLastError(DWORD code);
// The system's own words for the last failure ("Permission denied", ...),
// kept beside the code so that the console can tell the operator why.
std::string LastErrorText();
void SetLastError(DWORD code, std::string text);

}  // namespace platform
