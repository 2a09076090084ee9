#include "toolkit/qt/qt_look.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QWidget>

namespace toolkit::qt {
namespace {

// 8 pt at 96 dpi.
constexpr int kDefaultPixelSize = 11;

// Widgets whose colour is that of their text area rather than their face.
bool HasTextArea(const QWidget& widget) {
  return qobject_cast<const QLineEdit*>(&widget) != nullptr ||
         qobject_cast<const QComboBox*>(&widget) != nullptr ||
         qobject_cast<const QPlainTextEdit*>(&widget) != nullptr;
}

}  // namespace

QFont DefaultFont() {
  QFont font;
  font.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial",
                    "Nimbus Sans", "DejaVu Sans"});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(kDefaultPixelSize);
  return font;
}

void ApplyColor(QWidget& widget, const TControl& control) {
  // A button keeps the face of its style, as a push button does.
  if (widget.inherits("QPushButton")) return;
  QPalette palette = widget.palette();
  const QColor color = ToQColor(control.Color());
  if (HasTextArea(widget)) {
    palette.setColor(QPalette::Base, color);
  } else {
    palette.setColor(QPalette::Window, color);
    widget.setAutoFillBackground(true);
  }
  widget.setPalette(palette);
}

void ApplyFontColor(QWidget& widget, const TControl& control) {
  QPalette palette = widget.palette();
  const QColor color = ToQColor(control.FontColor());
  // A text area colours its text only: its scroll bars keep their own look.
  const bool textArea = HasTextArea(widget);
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::Text, color);
    if (textArea) continue;
    palette.setColor(group, QPalette::WindowText, color);
    palette.setColor(group, QPalette::ButtonText, color);
  }
  widget.setPalette(palette);
}

void ApplyFont(QWidget& widget, const TControl& control, const QFont& base) {
  QFont font = base;
  font.setBold(control.Font().Bold);
  const int scale = control.Font().Scale > 0 ? control.Font().Scale : 1;
  font.setPixelSize(base.pixelSize() * scale);
  widget.setFont(font);
}

}  // namespace toolkit::qt
