// The one QApplication of the Qt tests, and a Qt event loop that records
// its message boxes instead of showing them.
#pragma once

#include <string>
#include <vector>

#include "toolkit/qt/qt_event_loop.h"

namespace qt_test {

class RecordingLoop : public toolkit::qt::QtEventLoop {
 public:
  void MessageBox(const std::string& text, const std::string& title) override {
    boxes.push_back(title + ": " + text);
  }
  void ShowException(const std::string& message) override { errors.push_back(message); }

  std::vector<std::string> boxes;
  std::vector<std::string> errors;
};

}  // namespace qt_test
