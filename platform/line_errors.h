// Line errors as the driver counts them (TIOCGICOUNT), turned into the comm
// API's error mask: a counter that moved since the last look raises its flag.
#pragma once

#include "platform/comm_api.h"

namespace platform {

struct LineCounters {
  int frame = 0;
  int overrun = 0;
  int parity = 0;
  int brk = 0;
  int bufOverrun = 0;
};

inline DWORD LineErrorsBetween(const LineCounters& before, const LineCounters& now) {
  DWORD errors = 0;
  if (now.frame != before.frame) errors |= CE_FRAME;
  if (now.overrun != before.overrun) errors |= CE_OVERRUN;
  if (now.parity != before.parity) errors |= CE_RXPARITY;
  if (now.brk != before.brk) errors |= CE_BREAK;
  if (now.bufOverrun != before.bufOverrun) errors |= CE_RXOVER;
  return errors;
}

}  // namespace platform
