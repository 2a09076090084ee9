#include "toolkit/qt/qt_event_loop.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTimerEvent>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "tests/qt/qt_test_app.h"
#include "toolkit/timer.h"

namespace {

using qt_test::RecordingLoop;
using toolkit::TTimer;
using toolkit::qt::QtEventLoop;

// Delivers one timeout of a running QTimer now, as its interval running out would.
void Expire(QTimer& qtimer) {
  QTimerEvent event(qtimer.timerId());
  QCoreApplication::sendEvent(&qtimer, &event);
}

// Runs a task on the next pass of whatever event loop is running.
void Later(std::function<void()> task) {
  QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
}

TEST(QtEventLoop, EnablingARunningTimerLeavesItsCountdownAlone) {
  RecordingLoop loop;
  TTimer timer(nullptr);
  timer.SetInterval(10000);
  QTimer* qtimer = loop.QtTimerOf(timer);
  ASSERT_NE(qtimer, nullptr);
  ASSERT_TRUE(qtimer->isActive());
  // Only so that a restart would show in the remaining time.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const int before = qtimer->remainingTime();
  ASSERT_LE(before, 9980);

  timer.SetEnabled(true);
  loop.StartTimer(timer);  // as if asked again while running
  EXPECT_EQ(loop.QtTimerOf(timer), qtimer);
  EXPECT_LE(qtimer->remainingTime(), before);

  timer.SetEnabled(false);
  EXPECT_EQ(loop.QtTimerOf(timer), nullptr);
  timer.SetEnabled(true);
  ASSERT_NE(loop.QtTimerOf(timer), nullptr);
  EXPECT_GT(loop.QtTimerOf(timer)->remainingTime(), before);  // a full interval again
  EXPECT_EQ(loop.QtTimerOf(timer)->interval(), 10000);
}

TEST(QtEventLoop, TimerTicksRunThroughDispatch) {
  RecordingLoop loop;
  TTimer timer(nullptr);
  timer.SetInterval(60000);
  int ticks = 0;
  timer.OnTimer = [&](toolkit::TObject*) {
    if (++ticks == 2) throw std::runtime_error("tick failed");
  };
  Expire(*loop.QtTimerOf(timer));
  Expire(*loop.QtTimerOf(timer));
  Expire(*loop.QtTimerOf(timer));
  EXPECT_EQ(ticks, 3);  // the failed tick did not stop the timer
  EXPECT_EQ(loop.errors, std::vector<std::string>{"tick failed"});
}

TEST(QtEventLoop, ATimerThatStopsItselfInItsTickIsSafe) {
  RecordingLoop loop;
  TTimer timer(nullptr);
  timer.SetInterval(60000);
  timer.OnTimer = [&](toolkit::TObject*) { timer.SetEnabled(false); };
  Expire(*loop.QtTimerOf(timer));
  EXPECT_EQ(loop.QtTimerOf(timer), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(loop.errors.empty());
}

TEST(QtEventLoop, MessageBoxIsModalWithTextTitleAndOk) {
  QtEventLoop loop;
  QString text, title;
  int buttons = 0;
  bool otherEventRan = false;
  Later([&] { otherEventRan = true; });
  Later([&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    text = box->text();
    title = box->windowTitle();
    buttons = static_cast<int>(box->buttons().size());
    box->button(QMessageBox::Ok)->click();
  });
  loop.MessageBox("7 bills does not out", "Time Out");
  EXPECT_EQ(text, "7 bills does not out");
  EXPECT_EQ(title, "Time Out");
  EXPECT_EQ(buttons, 1);
  EXPECT_TRUE(otherEventRan);  // events go on while the box is shown
}

TEST(QtEventLoop, ShowExceptionShowsTheMessageAndReturns) {
  QtEventLoop loop;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  Later([&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    text = box->text();
    icon = box->icon();
    box->button(QMessageBox::Ok)->click();
  });
  loop.Dispatch([] { throw std::invalid_argument("'x' is not a valid integer value"); });
  EXPECT_EQ(text, "'x' is not a valid integer value");
  EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST(QtEventLoop, RunHandlesEventsUntilTerminate) {
  QtEventLoop loop;
  int ran = 0;
  Later([&] { ++ran; });
  Later([&] { loop.Terminate(); });
  loop.Run();
  EXPECT_EQ(ran, 1);
  EXPECT_TRUE(loop.Terminated());
  loop.Run();  // already terminated: returns at once
}

TEST(QtEventLoop, SleepBlocksAndIsThePlatformSleep) {
  QtEventLoop loop;
  bool ran = false;
  Later([&] { ran = true; });
  const std::uint64_t start = loop.NowMs();
  platform::Sleep(30);
  EXPECT_GE(loop.NowMs() - start, 30u);
  EXPECT_FALSE(ran);  // nothing was handled while sleeping
  loop.ProcessMessages();
  EXPECT_TRUE(ran);
  EXPECT_NEAR(static_cast<double>(platform::TickCountMs()), static_cast<double>(loop.NowMs()), 5.0);
  EXPECT_EQ(&toolkit::Application(), &loop);
}

}  // namespace
