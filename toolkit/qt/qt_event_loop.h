// The program's event loop on Qt: the message pump is Qt's, each TTimer runs
// on a QTimer, and the message box and the error display are QMessageBoxes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "toolkit/event_loop.h"

class QEventLoop;
class QObject;
class QTimer;

namespace toolkit::qt {

class QtEventLoop : public EventLoop {
 public:
  // Needs the QApplication to exist. Installs itself as the application and
  // as the platform's tick and Sleep; the destructor puts the old ones back.
  QtEventLoop();
  ~QtEventLoop() override;
  QtEventLoop(const QtEventLoop&) = delete;
  QtEventLoop& operator=(const QtEventLoop&) = delete;

  void ProcessMessages() override;
  // Blocks the thread: nothing is handled while it sleeps.
  void Sleep(std::uint32_t milliseconds) override;
  std::uint64_t NowMs() const override;
  void StartTimer(TTimer& timer) override;
  void StopTimer(TTimer& timer) override;
  // Modal, with a nested event loop: timers and posted events go on.
  void MessageBox(const std::string& text, const std::string& title) override;
  void ShowException(const std::string& message) override;
  void Terminate() override;
  bool Terminated() const override { return terminated_; }

  // Handles events until Terminate; returns at once if it came already.
  void Run();

  // The QTimer that runs a timer, or nullptr while it is stopped.
  QTimer* QtTimerOf(const TTimer& timer) const;

 private:
  // Parent of every QTimer, so that none outlives the loop.
  std::unique_ptr<QObject> timerOwner_;
  std::map<const TTimer*, QTimer*> timers_;
  QEventLoop* running_ = nullptr;
  bool terminated_ = false;
  platform::ClockHooks previousClock_;
};

}  // namespace toolkit::qt
