#include "toolkit/qt/qt_input_relay.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include "toolkit/event_loop.h"
#include "toolkit/qt/qt_keys.h"
#include "toolkit/qt/qt_text.h"

namespace toolkit::qt {
namespace {

constexpr char kPasteChar = 0x16;  // Ctrl+V

bool IsControlChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u < 0x20 || u == 0x7F;
}

}  // namespace

void InputRelay::WatchButton(QPushButton& widget, TButton& button) {
  buttons_[&widget] = &button;
  widget.installEventFilter(this);
  QObject::connect(&widget, &QPushButton::clicked,
                   [&button] { Application().Dispatch([&button] { button.Click(); }); });
}

void InputRelay::WatchEdit(QLineEdit& widget, TEdit& edit) {
  edits_[&widget] = &edit;
  widget.installEventFilter(this);
  // What reaches the edit other than by typing (the context menu's paste,
  // cut, delete, undo, dropping text) is taken as it stands, unfiltered.
  QObject::connect(&widget, &QLineEdit::textEdited, [&edit](const QString& text) {
    Application().Dispatch([&edit, text] { edit.SetText(ToStdString(text)); });
  });
}

void InputRelay::WatchPane(QPlainTextEdit& widget, TMemo& memo) {
  panes_[widget.viewport()] = &memo;
  widget.viewport()->installEventFilter(this);
}

bool InputRelay::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (auto it = buttons_.find(watched); it != buttons_.end()) {
      return ButtonKey(static_cast<QPushButton&>(*watched), *it->second, key);
    }
    if (auto it = edits_.find(watched); it != edits_.end()) return EditKey(*it->second, key);
  } else if (event->type() == QEvent::MouseButtonRelease) {
    const auto& mouse = static_cast<const QMouseEvent&>(*event);
    if (auto it = panes_.find(watched); it != panes_.end() && mouse.button() == Qt::LeftButton) {
      TMemo* memo = it->second;
      Application().Dispatch([memo] { memo->Click(); });
    }
  }
  return QObject::eventFilter(watched, event);
}

bool InputRelay::ButtonKey(QPushButton& widget, TButton& button, const QKeyEvent& key) {
  const std::uint16_t code = VirtualKeyOf(key.key(), key.modifiers());
  if (code != 0) {
    const TShiftState shift = ShiftStateOf(key.modifiers(), key.key());
    Application().Dispatch([&button, code, shift] { button.KeyDown(code, shift); });
  }
  // Enter presses the focused button at once; the space bar presses it when
  // it is let go, as the widget does by itself.
  if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
    widget.click();
    return true;
  }
  return false;
}

bool InputRelay::EditKey(TEdit& edit, const QKeyEvent& key) {
  // Tab moves the focus; it is no character for the edit.
  if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab) return false;

  if (key.matches(QKeySequence::Paste)) {
    // The paste key is a typed character: the key-press handler sees it and
    // may swallow it; kept, it pastes the clipboard, unfiltered.
    char c = kPasteChar;
    bool swallowed = false;
    Application().Dispatch([&] {
      if (edit.OnKeyPress) edit.OnKeyPress(&edit, c);
      swallowed = c == 0;
      if (!swallowed) edit.Paste(ToStdString(QGuiApplication::clipboard()->text()));
    });
    return true;
  }

  const QString text = key.text();
  if (key.key() == Qt::Key_Backspace) {
    Application().Dispatch([&edit] { edit.TypeChar(static_cast<char>(VK_BACK)); });
    return true;
  }
  if (text.isEmpty()) return false;  // cursor keys, Delete: the widget's own

  bool pass = false;
  for (const QChar ch : text) {
    if (ch.unicode() > 0xFF) continue;  // no 8-bit character for it
    const char c = static_cast<char>(ch.unicode());
    if (IsControlChar(c)) {
      // Enter, Escape, Ctrl+C ...: the handler sees them; kept, the widget
      // does its own (copy, select all, undo) and inserts nothing.
      char k = c;
      Application().Dispatch([&] {
        if (edit.OnKeyPress) edit.OnKeyPress(&edit, k);
      });
      pass = pass || k != 0;
    } else {
      Application().Dispatch([&edit, c] { edit.TypeChar(c); });
    }
  }
  return !pass;
}

}  // namespace toolkit::qt
