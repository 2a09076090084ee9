// Program start: the paths, the application object, the main window and its
// window on screen, then the event loop until the window closes.
//
// For the manual's pictures, --screenshot FILE (or RM460_SCREENSHOT=FILE)
// saves the window as a PNG after --screenshot-delay MS (or
// RM460_SCREENSHOT_DELAY; 500 by default) and closes it. For unattended
// runs (the demo on a virtual display, the package test), --start-protocol
// clicks "Start Protocol" once the window shows, and --quit-after MS closes
// the window after MS milliseconds. For the benchmarks, RM460_TRACE=FILE
// traces the window's first expose and every Memo1 line (toolkit/qt/trace.h).
#include <QApplication>
#include <QPalette>
#include <QPixmap>
#include <QStringList>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <exception>
#include <memory>

#include "app/globals.h"
#include "app/unit1.h"
#include "toolkit/qt/qt_event_loop.h"
#include "toolkit/qt/qt_form_binding.h"
#include "toolkit/qt/trace.h"

namespace {

struct ScreenshotRequest {
  QString file;
  int delayMs = 500;
};

ScreenshotRequest ScreenshotWanted(const QStringList& args) {
  ScreenshotRequest request;
  request.file = qEnvironmentVariable("RM460_SCREENSHOT");
  bool ok = false;
  const int envDelay = qEnvironmentVariableIntValue("RM460_SCREENSHOT_DELAY", &ok);
  if (ok) request.delayMs = envDelay;
  for (qsizetype i = 1; i + 1 < args.size(); ++i) {
    if (args[i] == "--screenshot") request.file = args[i + 1];
    if (args[i] == "--screenshot-delay") request.delayMs = args[i + 1].toInt();
  }
  return request;
}

void ScheduleScreenshot(const ScreenshotRequest& request, QWidget* window, app::TForm1* form) {
  QTimer::singleShot(request.delayMs, window, [request, window, form] {
    toolkit::Application().Dispatch([&] {
      if (!window->grab().save(request.file, "PNG")) {
        std::fprintf(stderr, "rm460-console: cannot write %s\n", qPrintable(request.file));
      }
      form->Close();
    });
  });
}

bool HasOption(const QStringList& args, const char* option) {
  return args.contains(option);
}

int IntOption(const QStringList& args, const char* option, int fallback) {
  const qsizetype at = args.indexOf(option);
  return at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
}

// Memo1's observer when traced: the window first, then the trace.
class TracedPane : public toolkit::ControlObserver {
 public:
  TracedPane(toolkit::ControlObserver& window, toolkit::qt::Trace& trace)
      : window_(window), trace_(trace) {}
  void Changed(toolkit::TControl& control, toolkit::Change what) override {
    window_.Changed(control, what);
    if (what == toolkit::Change::LineAdded) {
      trace_.Line(static_cast<toolkit::TMemo&>(control).LastLine());
    }
  }

 private:
  toolkit::ControlObserver& window_;
  toolkit::qt::Trace& trace_;
};

}  // namespace

int main(int argc, char** argv) {
  // The layout is in pixels and is not scaled to the screen's resolution.
  if (!qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING")) {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  }
  app::SetUpProgramPaths();
  QApplication qtApp(argc, argv);
  // One look everywhere, whatever the desktop's theme: light, grey faces.
  QApplication::setStyle("Fusion");
  QApplication::setPalette(QApplication::style()->standardPalette());

  toolkit::qt::QtEventLoop loop;
  const std::unique_ptr<toolkit::qt::Trace> trace = toolkit::qt::Trace::FromEnvironment();
  std::unique_ptr<TracedPane> tracedPane;
  std::unique_ptr<app::TForm1> form;
  std::unique_ptr<toolkit::qt::FormBinding> window;
  loop.Dispatch([&] {
    form = std::make_unique<app::TForm1>(nullptr);
    form->Created();
    window = std::make_unique<toolkit::qt::FormBinding>(*form);
    if (trace) {
      trace->WatchWindow(*window->Window());
      tracedPane = std::make_unique<TracedPane>(*window, *trace);
      form->Memo1->SetObserver(tracedPane.get());
    }
    window->Show();
    const ScreenshotRequest screenshot = ScreenshotWanted(QApplication::arguments());
    const QStringList args = QApplication::arguments();
    if (HasOption(args, "--start-protocol")) {
      QTimer::singleShot(0, window->Window(), [&form] {
        toolkit::Application().Dispatch([&] { form->StartBtn->Click(); });
      });
    }
    const int quitAfter = IntOption(args, "--quit-after", -1);
    if (quitAfter >= 0) {
      QTimer::singleShot(quitAfter, window->Window(),
                         [&form] { toolkit::Application().Dispatch([&] { form->Close(); }); });
    }
    if (!screenshot.file.isEmpty()) ScheduleScreenshot(screenshot, window->Window(), form.get());
  });
  // A window that could not be made leaves nothing to run.
  if (window != nullptr) loop.Run();

  // The window goes before the form; the form's destruction handler runs
  // while its controls still exist.
  loop.Dispatch([&] {
    if (tracedPane) form->Memo1->SetObserver(window.get());
    window.reset();
    form.reset();
  });
  return 0;
}
