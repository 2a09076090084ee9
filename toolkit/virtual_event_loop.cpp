#include "toolkit/virtual_event_loop.h"

#include <ctime>

#include "toolkit/timer.h"

namespace toolkit {

VirtualEventLoop::VirtualEventLoop(platform::LocalDateTime start) : start_(start) {
  SetApplication(this);
  previousClock_ = platform::InstallClock({
      [this] { return now_; },
      [this] { return LocalNow(); },
      [this](platform::DWORD ms) { Sleep(ms); },
  });
}

VirtualEventLoop::~VirtualEventLoop() {
  platform::InstallClock(previousClock_);
  SetApplication(nullptr);
}

void VirtualEventLoop::Sleep(std::uint32_t milliseconds) {
  sleeps_.emplace_back(now_, milliseconds);
  now_ += milliseconds;
}

void VirtualEventLoop::StartTimer(TTimer& timer) {
  timers_[&timer] = {&timer, now_ + timer.Interval(), seq_++};
}

void VirtualEventLoop::StopTimer(TTimer& timer) {
  timers_.erase(&timer);
}

bool VirtualEventLoop::TimerRunning(const TTimer& timer) const {
  return timers_.count(&timer) > 0;
}

std::uint64_t VirtualEventLoop::TimerDue(const TTimer& timer) const {
  auto it = timers_.find(&timer);
  return it == timers_.end() ? 0 : it->second.due;
}

void VirtualEventLoop::MessageBox(const std::string& text, const std::string& title) {
  boxes_.push_back({text, title, now_});
}

void VirtualEventLoop::ShowException(const std::string& message) {
  errors_.push_back(message);
}

void VirtualEventLoop::ClearRecords() {
  boxes_.clear();
  errors_.clear();
  sleeps_.clear();
}

void VirtualEventLoop::Post(std::uint64_t atMs, std::function<void()> event) {
  posted_.emplace(Due{atMs, seq_++}, std::move(event));
}

bool VirtualEventLoop::DeliverNext(std::uint64_t limit) {
  // The earliest of the posted events and the timers; ties go to what was
  // queued first.
  const TimerState* timer = nullptr;
  for (const auto& [key, state] : timers_) {
    if (timer == nullptr || state.due < timer->due ||
        (state.due == timer->due && state.seq < timer->seq)) {
      timer = &state;
    }
  }
  const bool postedDue = !posted_.empty() && posted_.begin()->first.at <= limit;
  const bool timerDue = timer != nullptr && timer->due <= limit;
  if (!postedDue && !timerDue) return false;

  const bool takeTimer =
      timerDue &&
      (!postedDue || timer->due < posted_.begin()->first.at ||
       (timer->due == posted_.begin()->first.at && timer->seq < posted_.begin()->first.seq));
  if (takeTimer) {
    TTimer* t = timer->timer;
    auto& state = timers_[t];
    if (state.due > now_) now_ = state.due;
    // Missed intervals are not made up: one tick, then the next on the grid.
    do {
      state.due += t->Interval();
    } while (state.due <= now_);
    state.seq = seq_++;
    Dispatch([t] { t->Tick(); });
  } else {
    auto it = posted_.begin();
    if (it->first.at > now_) now_ = it->first.at;
    std::function<void()> event = std::move(it->second);
    posted_.erase(it);
    Dispatch(event);
  }
  return true;
}

void VirtualEventLoop::ProcessMessages() {
  // Only what is waiting now; what its handlers queue for now waits for the
  // next pass, as with a real message queue. A handler that sleeps moves the
  // clock, so this pass ends at the moment it started.
  const std::uint64_t limit = now_;
  std::size_t budget = posted_.size() + timers_.size();
  while (budget-- > 0 && DeliverNext(limit)) {
  }
}

void VirtualEventLoop::RunUntil(std::uint64_t atMs) {
  while (!terminated_ && DeliverNext(atMs)) {
  }
  if (now_ < atMs) now_ = atMs;
}

void VirtualEventLoop::RunFor(std::uint64_t ms) {
  RunUntil(now_ + ms);
}

platform::LocalDateTime VirtualEventLoop::LocalNow() const {
  std::tm tm{};
  tm.tm_year = start_.year - 1900;
  tm.tm_mon = start_.month - 1;
  tm.tm_mday = start_.day;
  tm.tm_hour = start_.hour;
  tm.tm_min = start_.minute;
  tm.tm_sec = start_.second;
  const std::uint64_t totalMs = static_cast<std::uint64_t>(start_.millisecond) + now_;
  tm.tm_sec += static_cast<int>(totalMs / 1000);
  tm.tm_isdst = 0;
  // timegm normalises the fields without a time zone getting in the way.
  const std::time_t t = ::timegm(&tm);
  std::tm out{};
  ::gmtime_r(&t, &out);
  return {out.tm_year + 1900,
          out.tm_mon + 1,
          out.tm_mday,
          out.tm_hour,
          out.tm_min,
          out.tm_sec,
          static_cast<int>(totalMs % 1000)};
}

}  // namespace toolkit
