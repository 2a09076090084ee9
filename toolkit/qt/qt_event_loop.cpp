#include "toolkit/qt/qt_event_loop.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <thread>

#include "toolkit/qt/qt_text.h"
#include "toolkit/timer.h"

namespace toolkit::qt {

QtEventLoop::QtEventLoop() : timerOwner_(std::make_unique<QObject>()) {
  // The loop ends when the form closes, not when Qt sees its last window go
  // (a message box closing is not the end of the program).
  QApplication::setQuitOnLastWindowClosed(false);
  SetApplication(this);
  previousClock_ = platform::InstallClock({
      [this] { return NowMs(); },
      {},
      [this](platform::DWORD ms) { Sleep(ms); },
  });
}

QtEventLoop::~QtEventLoop() {
  timers_.clear();
  timerOwner_.reset();
  platform::InstallClock(previousClock_);
  SetApplication(nullptr);
}

void QtEventLoop::ProcessMessages() {
  QCoreApplication::processEvents();
}

void QtEventLoop::Sleep(std::uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::uint64_t QtEventLoop::NowMs() const {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

void QtEventLoop::StartTimer(TTimer& timer) {
  QTimer*& qtimer = timers_[&timer];
  if (qtimer == nullptr) {
    qtimer = new QTimer(timerOwner_.get());
    qtimer->setTimerType(Qt::PreciseTimer);
    QObject::connect(qtimer, &QTimer::timeout,
                     [this, &timer] { Dispatch([&timer] { timer.Tick(); }); });
  }
  const int interval = static_cast<int>(timer.Interval());
  // QTimer::start() restarts a running timer; a running one keeps its countdown.
  if (qtimer->isActive() && qtimer->interval() == interval) return;
  qtimer->start(interval);
}

void QtEventLoop::StopTimer(TTimer& timer) {
  auto it = timers_.find(&timer);
  if (it == timers_.end()) return;
  it->second->stop();
  // Later, not now: the timer may be stopping itself from its own tick.
  it->second->deleteLater();
  timers_.erase(it);
}

QTimer* QtEventLoop::QtTimerOf(const TTimer& timer) const {
  auto it = timers_.find(&timer);
  return it == timers_.end() ? nullptr : it->second;
}

void QtEventLoop::MessageBox(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::NoIcon, ToQString(title), ToQString(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

void QtEventLoop::ShowException(const std::string& message) {
  QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), ToQString(message),
                  QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

void QtEventLoop::Terminate() {
  terminated_ = true;
  if (running_ != nullptr) running_->quit();
}

void QtEventLoop::Run() {
  if (terminated_) return;
  QEventLoop loop;
  running_ = &loop;
  loop.exec();
  running_ = nullptr;
}

}  // namespace toolkit::qt
