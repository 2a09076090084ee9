#include "toolkit/timer.h"

#include "toolkit/event_loop.h"

namespace toolkit {

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  Update();
}

TTimer::~TTimer() {
  if (running_) Application().StopTimer(*this);
}

void TTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Update();
}

void TTimer::SetInterval(std::uint32_t value) {
  if (value == interval_) return;
  interval_ = value;
  if (running_) {
    Application().StopTimer(*this);
    running_ = false;
  }
  Update();
}

void TTimer::Update() {
  const bool shouldRun = enabled_ && interval_ != 0;
  if (shouldRun && !running_) {
    Application().StartTimer(*this);
    running_ = true;
  } else if (!shouldRun && running_) {
    Application().StopTimer(*this);
    running_ = false;
  }
}

void TTimer::Tick() {
  if (enabled_ && OnTimer) OnTimer(this);
}

}  // namespace toolkit
