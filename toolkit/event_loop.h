// The application's event loop as the logic sees it: the message pump, the
// pause, timers, the modal message box and the last-resort error display.
// The program runs it on Qt; tests run it in virtual time.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

namespace toolkit {

class TTimer;

class EventLoop {
 public:
  virtual ~EventLoop() = default;

  // Handles every event waiting at this moment, then returns.
  virtual void ProcessMessages() = 0;
  // Blocks the user-interface thread; no event is handled meanwhile.
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // Milliseconds on the loop's clock.
  virtual std::uint64_t NowMs() const = 0;

  // A timer starts a full interval, or stops. Only TTimer calls these.
  virtual void StartTimer(TTimer& timer) = 0;
  virtual void StopTimer(TTimer& timer) = 0;

  // A modal box with the text, the title and an OK button. Events go on
  // being handled while it is shown.
  virtual void MessageBox(const std::string& text, const std::string& title) = 0;
  // The last-resort display of an error that escaped a handler.
  virtual void ShowException(const std::string& message) = 0;

  // Ends the loop (the main window closed).
  virtual void Terminate() = 0;
  virtual bool Terminated() const = 0;

  // Runs one event handler; an error that escapes it goes to ShowException
  // and the loop goes on with the next event.
  void Dispatch(const std::function<void()>& handler);
};

// The application object of this process.
EventLoop& Application();
// Installs the loop (the Qt loop in the program, a virtual loop in tests);
// it also takes over the platform's Sleep and clock.
void SetApplication(EventLoop* loop);

}  // namespace toolkit
