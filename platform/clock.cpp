#include "platform/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace platform {
namespace {

ClockHooks& Hooks() {
  static ClockHooks hooks;
  return hooks;
}

LocalDateTime SystemNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
#if defined(_WIN32)
  localtime_s(&tm, &t);
#else
  localtime_r(&t, &tm);
#endif
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,          tm.tm_hour,
          tm.tm_min,         tm.tm_sec,     static_cast<int>(ms)};
}

}  // namespace

std::uint64_t TickCountMs() {
  if (Hooks().tick) return Hooks().tick();
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

LocalDateTime Now() {
  return Hooks().now ? Hooks().now() : SystemNow();
}

void Sleep(DWORD milliseconds) {
  if (Hooks().sleep) {
    Hooks().sleep(milliseconds);
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

ClockHooks InstallClock(ClockHooks hooks) {
  ClockHooks previous = Hooks();
  Hooks() = std::move(hooks);
  return previous;
}

}  // namespace platform
