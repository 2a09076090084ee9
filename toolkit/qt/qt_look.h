// How a control's state looks on its widget: the window's default font,
// colours through the palette, bold and scaled text.
#pragma once

#include <QColor>
#include <QFont>

#include "toolkit/control.h"

class QWidget;

namespace toolkit::qt {

inline QColor ToQColor(TColor c) {
  return QColor(Red(c), Green(c), Blue(c));
}

// "MS Sans Serif" 8 pt where the system has it, else the closest sans font.
// Sized in pixels as at 96 dpi: the layout is in pixels and is not scaled.
QFont DefaultFont();

// The control's background colour onto the widget (labels, panels, check
// boxes and the form fill their background; edits, lists and panes colour
// their text area).
void ApplyColor(QWidget& widget, const TControl& control);
void ApplyFontColor(QWidget& widget, const TControl& control);
// Bold and scale, from the window's default font.
void ApplyFont(QWidget& widget, const TControl& control, const QFont& base);

}  // namespace toolkit::qt
