// Time as the console sees it: a millisecond tick for timers and pauses, and
// the local date and time for stamps. Both can be replaced by a virtual clock
// so that tests run in virtual time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/comm_api.h"

namespace platform {

struct LocalDateTime {
  int year = 1970;
  int month = 1;  // 1 … 12
  int day = 1;    // 1 … 31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// Milliseconds on a monotonic clock.
std::uint64_t TickCountMs();
// The current local date and time.
LocalDateTime Now();
// Blocks the calling thread for the given milliseconds (virtual in tests).
void Sleep(DWORD milliseconds);

struct ClockHooks {
  std::function<std::uint64_t()> tick;
  std::function<LocalDateTime()> now;
  std::function<void(DWORD)> sleep;
};
// Installs a replacement clock; empty members keep the system's. Returns the
// hooks that were in force, so that a caller can put them back.
ClockHooks InstallClock(ClockHooks hooks);

}  // namespace platform
