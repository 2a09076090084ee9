// An interval timer whose ticks the event loop delivers on the
// user-interface thread. Enabling a running timer leaves its countdown
// alone; enabling a stopped one starts a full interval.
#pragma once

#include <cstdint>

#include "toolkit/component.h"

namespace toolkit {

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  std::uint32_t Interval() const { return interval_; }
  // A new interval restarts a running timer.
  void SetInterval(std::uint32_t value);

  TNotifyEvent OnTimer;

  // Called by the event loop when the interval has run out.
  void Tick();

 private:
  bool enabled_ = true;
  bool running_ = false;
  std::uint32_t interval_ = 1000;
  void Update();
};

}  // namespace toolkit
