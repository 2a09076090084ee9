#include "toolkit/event_loop.h"

#include <stdexcept>

#include "platform/clock.h"

namespace toolkit {
namespace {
EventLoop* application = nullptr;
}

void EventLoop::Dispatch(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowException(e.what());
  } catch (...) {
    ShowException("Unknown error.");
  }
}

EventLoop& Application() {
  if (application == nullptr) throw std::logic_error("No application event loop is installed.");
  return *application;
}

void SetApplication(EventLoop* loop) {
  application = loop;
}

}  // namespace toolkit
