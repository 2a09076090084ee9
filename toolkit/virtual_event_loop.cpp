#include "toolkit/virtual_event_loop.h"

#include <cstdint>

#include "toolkit/timer.h"

namespace toolkit {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date, and back (the
// well-known era algorithm; exact for every date the console meets).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

platform::LocalDateTime CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  platform::LocalDateTime out;
  out.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  out.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  out.year = static_cast<int>(yoe + era * 400 + (out.month <= 2 ? 1 : 0));
  return out;
}

}  // namespace

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
  // Plain calendar arithmetic: the virtual clock has no time zone and no
  // daylight saving, and the same code runs on every system.
  const std::uint64_t totalMs = static_cast<std::uint64_t>(start_.millisecond) + now_;
  std::int64_t seconds = static_cast<std::int64_t>(start_.hour) * 3600 + start_.minute * 60 +
                         start_.second + static_cast<std::int64_t>(totalMs / 1000);
  const std::int64_t days = DaysFromCivil(start_.year, start_.month, start_.day) + seconds / 86400;
  seconds %= 86400;
  platform::LocalDateTime out = CivilFromDays(days);
  out.hour = static_cast<int>(seconds / 3600);
  out.minute = static_cast<int>(seconds / 60 % 60);
  out.second = static_cast<int>(seconds % 60);
  out.millisecond = static_cast<int>(totalMs % 1000);
  return out;
}

}  // namespace toolkit
