// A trace for the benchmarks (scripts/bench). With RM460_TRACE=FILE set, a
// program appends to FILE "<ns> shown" when its window is first exposed and
// "<ns> line <text>" for each line its result pane gets, where <ns> is
// CLOCK_MONOTONIC in nanoseconds, the clock the benchmark's driver reads
// too. Without RM460_TRACE nothing is traced and nothing is installed.
#pragma once

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

namespace toolkit::qt {

class Trace : public QObject {
 public:
  static std::unique_ptr<Trace> FromEnvironment() {
    const char* path = std::getenv("RM460_TRACE");
    if (path == nullptr || *path == '\0') return nullptr;
    std::FILE* out = std::fopen(path, "a");
    if (out == nullptr) return nullptr;
    return std::unique_ptr<Trace>(new Trace(out));
  }
  ~Trace() override { std::fclose(out_); }

  // Reports "shown" at the first expose of the widget's window.
  void WatchWindow(QWidget& window) {
    window.winId();  // makes the native window, so that it can be watched
    if (QWindow* handle = window.windowHandle()) handle->installEventFilter(this);
  }

  void Line(const std::string& text) { Write("line " + text); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!shown_ && event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
      shown_ = true;
      Write("shown");
    }
    return false;
  }

 private:
  explicit Trace(std::FILE* out) : out_(out) {}

  void Write(const std::string& what) {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(out_, "%lld %s\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                 what.c_str());
    std::fflush(out_);
  }

  std::FILE* out_;
  bool shown_ = false;
};

}  // namespace toolkit::qt
