// Turns the operator's keys and mouse clicks on widgets into the controls'
// events: key down on buttons, typed characters on edits, clicks on panes.
// Every handler runs through the application's Dispatch, so that an error
// never escapes into Qt.
#pragma once

#include <QObject>
#include <unordered_map>

#include "toolkit/memo.h"
#include "toolkit/std_controls.h"

class QKeyEvent;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace toolkit::qt {

class InputRelay : public QObject {
 public:
  void WatchButton(QPushButton& widget, TButton& button);
  // The edit's typed characters go to the control, which decides its text.
  void WatchEdit(QLineEdit& widget, TEdit& edit);
  void WatchPane(QPlainTextEdit& widget, TMemo& memo);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool ButtonKey(QPushButton& widget, TButton& button, const QKeyEvent& key);
  bool EditKey(TEdit& edit, const QKeyEvent& key);

  std::unordered_map<QObject*, TButton*> buttons_;
  std::unordered_map<QObject*, TEdit*> edits_;
  std::unordered_map<QObject*, TMemo*> panes_;
};

}  // namespace toolkit::qt
