// An event loop on a virtual clock, for tests. Timer ticks and posted input
// are delivered in time order; Sleep moves the clock on without delivering
// anything; RunFor(8000) makes every tick, poll and device reply of those
// eight seconds happen at its exact virtual time. Nothing waits on the wall
// clock.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "toolkit/event_loop.h"

namespace toolkit {

class VirtualEventLoop : public EventLoop {
 public:
  // Installs itself as the application and as the platform clock; the
  // virtual clock starts at 0 ms, on the given local date and time.
  explicit VirtualEventLoop(platform::LocalDateTime start = {2021, 3, 3, 14, 5, 9, 0});
  ~VirtualEventLoop() override;

  void ProcessMessages() override;
  void Sleep(std::uint32_t milliseconds) override;
  std::uint64_t NowMs() const override { return now_; }
  void StartTimer(TTimer& timer) override;
  void StopTimer(TTimer& timer) override;
  void MessageBox(const std::string& text, const std::string& title) override;
  void ShowException(const std::string& message) override;
  void Terminate() override { terminated_ = true; }
  bool Terminated() const override { return terminated_; }

  // Queues an input event (a click, a key) for the given virtual time.
  void Post(std::uint64_t atMs, std::function<void()> event);
  void PostNow(std::function<void()> event) { Post(now_, std::move(event)); }
  // Delivers everything due up to now + ms, in time order, and ends there.
  void RunFor(std::uint64_t ms);
  void RunUntil(std::uint64_t atMs);

  // The local date and time at the current virtual moment.
  platform::LocalDateTime LocalNow() const;
  // Moves the calendar (not the tick) to another start, e.g. just before midnight.
  void SetCalendarStart(platform::LocalDateTime start) { start_ = start; }

  struct Box {
    std::string text;
    std::string title;
    std::uint64_t atMs;
  };
  const std::vector<Box>& MessageBoxes() const { return boxes_; }
  const std::vector<std::string>& Errors() const { return errors_; }
  // Wall-clock pauses asked for, with their virtual start times.
  const std::vector<std::pair<std::uint64_t, std::uint32_t>>& Sleeps() const { return sleeps_; }
  void ClearRecords();
  bool TimerRunning(const TTimer& timer) const;
  std::uint64_t TimerDue(const TTimer& timer) const;

 private:
  struct Due {
    std::uint64_t at;
    std::uint64_t seq;
    bool operator<(const Due& o) const { return at != o.at ? at < o.at : seq < o.seq; }
  };
  struct TimerState {
    TTimer* timer;
    std::uint64_t due;
    std::uint64_t seq;
  };
  // The next thing due at or before the limit; false when none is.
  bool DeliverNext(std::uint64_t limit);

  std::uint64_t now_ = 0;
  std::uint64_t seq_ = 0;
  platform::LocalDateTime start_;
  std::map<Due, std::function<void()>> posted_;
  std::map<const TTimer*, TimerState> timers_;
  std::vector<Box> boxes_;
  std::vector<std::string> errors_;
  std::vector<std::pair<std::uint64_t, std::uint32_t>> sleeps_;
  platform::ClockHooks previousClock_;
  bool terminated_ = false;
};

}  // namespace toolkit
