#include "toolkit/qt/qt_form_binding.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStringList>

#include "toolkit/event_loop.h"
#include "toolkit/memo.h"
#include "toolkit/qt/qt_input_relay.h"
#include "toolkit/qt/qt_look.h"
#include "toolkit/qt/qt_text.h"
#include "toolkit/std_controls.h"

namespace toolkit::qt {

// The top-level window: a scroll area around the form's client area, so that
// scroll bars appear when the window is smaller than its content.
class FormWindow : public QScrollArea {
 public:
  explicit FormWindow(TForm& form) : form_(form) {}

 protected:
  // The title bar's close, Alt+F4 ...: the form's close request.
  void closeEvent(QCloseEvent* event) override {
    Application().Dispatch([this] { form_.Close(); });
    event->accept();
  }

 private:
  TForm& form_;
};

namespace {

constexpr int kNoLengthLimit = 32767;  // QLineEdit's own default

void ScrollToEnd(QPlainTextEdit& pane) {
  QScrollBar* bar = pane.verticalScrollBar();
  bar->setValue(bar->maximum());
}

QString JoinLines(const TMemo& memo) {
  QStringList lines;
  for (const std::string& line : memo.Lines()) lines << ToQString(line);
  return lines.join('\n');
}

}  // namespace

FormBinding::FormBinding(TForm& form)
    : form_(form),
      font_(DefaultFont()),
      relay_(std::make_unique<InputRelay>()),
      window_(std::make_unique<FormWindow>(form)) {
  window_->setFont(font_);
  window_->setFrameShape(QFrame::NoFrame);
  window_->setWidgetResizable(false);
  content_ = new QWidget;
  widgets_[&form_] = window_.get();
  form_.SetObserver(this);
  BuildAll(form_);
  MirrorAll(form_, *window_);
  window_->setWidget(content_);
}

FormBinding::~FormBinding() {
  for (auto& [control, widget] : widgets_) const_cast<TControl*>(control)->SetObserver(nullptr);
}

QWidget* FormBinding::Window() const {
  return window_.get();
}

QWidget* FormBinding::WidgetOf(const TControl& control) const {
  auto it = widgets_.find(&control);
  return it == widgets_.end() ? nullptr : it->second;
}

void FormBinding::BuildAll(TComponent& owner) {
  for (int i = 0; i < owner.ComponentCount(); ++i) {
    TComponent* component = owner.Components(i);
    if (auto* control = dynamic_cast<TControl*>(component)) Build(*control);
    BuildAll(*component);
  }
}

QWidget* FormBinding::Build(TControl& control) {
  if (auto it = widgets_.find(&control); it != widgets_.end()) return it->second;
  if (dynamic_cast<TForm*>(&control) != nullptr) return nullptr;  // one window per binding

  // The parent's widget first, so that it exists and siblings stack in the
  // order they were made.
  QWidget* parent = content_;
  if (control.Parent() != nullptr && control.Parent() != &form_) {
    if (QWidget* p = Build(*control.Parent())) parent = p;
  }

  QWidget* widget = nullptr;
  if (auto* button = dynamic_cast<TButton*>(&control)) {
    auto* w = new QPushButton(parent);
    w->setAutoDefault(false);
    relay_->WatchButton(*w, *button);
    widget = w;
  } else if (auto* edit = dynamic_cast<TEdit*>(&control)) {
    auto* w = new QLineEdit(parent);
    w->setMaxLength(edit->MaxLength() > 0 ? edit->MaxLength() : kNoLengthLimit);
    relay_->WatchEdit(*w, *edit);
    widget = w;
  } else if (auto* combo = dynamic_cast<TComboBox*>(&control)) {
    auto* w = new QComboBox(parent);
    w->setEditable(true);
    w->setInsertPolicy(QComboBox::NoInsert);
    w->setCompleter(nullptr);  // typed text stays as typed: no item gets selected
    QObject::connect(w, &QComboBox::activated, [combo](int index) {
      Application().Dispatch([combo, index] { combo->SetItemIndex(index); });
    });
    QObject::connect(w->lineEdit(), &QLineEdit::textEdited, [combo](const QString& text) {
      Application().Dispatch([combo, text] { combo->TypeText(ToStdString(text)); });
    });
    widget = w;
  } else if (auto* check = dynamic_cast<TCheckBox*>(&control)) {
    auto* w = new QCheckBox(parent);
    QObject::connect(w, &QCheckBox::clicked, [check, w] {
      Application().Dispatch([check] { check->Click(); });
      // The control decides; the box shows what it decided.
      w->setChecked(check->Checked());
    });
    widget = w;
  } else if (auto* memo = dynamic_cast<TMemo*>(&control)) {
    auto* w = new QPlainTextEdit(parent);
    w->setMaximumBlockCount(static_cast<int>(PaneLineLimit));
    w->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    relay_->WatchPane(*w, *memo);
    widget = w;
  } else if (auto* panel = dynamic_cast<TPanel*>(&control)) {
    auto* w = new QFrame(parent);
    w->setFrameStyle(panel->Bevel ? (QFrame::Panel | QFrame::Sunken)
                                  : (QFrame::Panel | QFrame::Raised));
    w->setLineWidth(1);
    widget = w;
  } else if (auto* label = dynamic_cast<TLabel*>(&control)) {
    auto* w = new QLabel(parent);
    const Qt::Alignment across = label->Alignment == taCenter         ? Qt::AlignHCenter
                                 : label->Alignment == taRightJustify ? Qt::AlignRight
                                                                      : Qt::AlignLeft;
    w->setAlignment(across | Qt::AlignVCenter);
    widget = w;
  } else {
    widget = new QWidget(parent);
  }

  const TBounds& b = control.Bounds;
  widget->setGeometry(b.Left, b.Top, b.Width, b.Height);
  widgets_[&control] = widget;
  control.SetObserver(this);
  MirrorAll(control, *widget);
  return widget;
}

void FormBinding::Show() {
  content_->setFixedSize(form_.ClientWidth, form_.ClientHeight);
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint;
  if (form_.MaximizeButton) flags |= Qt::WindowMaximizeButtonHint;
  window_->setWindowFlags(flags);
  const Qt::ScrollBarPolicy bars =
      form_.AutoScroll ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
  window_->setHorizontalScrollBarPolicy(bars);
  window_->setVerticalScrollBarPolicy(bars);
  window_->resize(form_.ClientWidth, form_.ClientHeight);
  window_->move(form_.Left, form_.Top);
  window_->show();
}

void FormBinding::Changed(TControl& control, Change what) {
  if (QWidget* widget = WidgetOf(control)) Mirror(control, *widget, what);
}

void FormBinding::MirrorAll(TControl& control, QWidget& widget) {
  widget.setAccessibleDescription(ToQString(control.Name));
  for (Change what : {Change::Caption, Change::Enabled, Change::Color, Change::FontColor,
                      Change::Items, Change::Checked, Change::ReadOnly}) {
    Mirror(control, widget, what);
  }
  if (&control != &form_) widget.setVisible(control.Visible());
  if (auto* pane = qobject_cast<QPlainTextEdit*>(&widget)) {
    pane->setPlainText(JoinLines(static_cast<TMemo&>(control)));
    ScrollToEnd(*pane);
  }
}

void FormBinding::Mirror(TControl& control, QWidget& widget, Change what) {
  const bool isForm = &control == &form_;
  switch (what) {
    case Change::Caption: {
      const QString text = ToQString(control.Caption());
      if (isForm) {
        window_->setWindowTitle(text);
      } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        button->setText(text);
      } else if (auto* label = qobject_cast<QLabel*>(&widget)) {
        label->setText(text);
      } else if (auto* line = qobject_cast<QLineEdit*>(&widget)) {
        if (line->text() != text) line->setText(text);
      } else if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
        if (combo->currentText() != text) combo->setEditText(text);
      }
      UpdateAccessibleName(control, widget);
      break;
    }
    case Change::Enabled:
      widget.setEnabled(control.Enabled());
      break;
    case Change::Visible:
      if (!isForm) widget.setVisible(control.Visible());
      break;
    case Change::Color:
      ApplyColor(isForm ? *window_ : widget, control);
      if (isForm) ApplyColor(*content_, control);
      break;
    case Change::FontColor:
      // Bold and scale change with the text colour or not at all.
      ApplyFontColor(widget, control);
      if (!isForm) ApplyFont(widget, control, font_);
      break;
    case Change::Items:
      if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
        const auto& items = static_cast<TComboBox&>(control).Items();
        combo->clear();
        for (const std::string& item : items) combo->addItem(ToQString(item));
        Mirror(control, widget, Change::ItemIndex);
      }
      break;
    case Change::ItemIndex:
      if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
        const auto& model = static_cast<TComboBox&>(control);
        if (combo->currentIndex() != model.ItemIndex()) {
          // Selecting none empties the edit field: keep what was typed there.
          const int cursor = combo->lineEdit()->cursorPosition();
          combo->setCurrentIndex(model.ItemIndex());
          combo->setEditText(ToQString(model.Text()));
          combo->lineEdit()->setCursorPosition(cursor);
        }
      }
      break;
    case Change::Checked:
      if (auto* check = qobject_cast<QCheckBox*>(&widget)) {
        check->setChecked(static_cast<TCheckBox&>(control).Checked());
      }
      break;
    case Change::LineAdded:
      if (auto* pane = qobject_cast<QPlainTextEdit*>(&widget)) {
        pane->appendPlainText(ToQString(static_cast<TMemo&>(control).LastLine()));
        ScrollToEnd(*pane);
      }
      break;
    case Change::LinesDropped:
      // The pane keeps as many lines as the control does and drops the
      // oldest by itself (its maximum block count).
      break;
    case Change::LinesCleared:
      if (auto* pane = qobject_cast<QPlainTextEdit*>(&widget)) pane->clear();
      break;
    case Change::ReadOnly:
      if (auto* pane = qobject_cast<QPlainTextEdit*>(&widget)) {
        pane->setReadOnly(static_cast<TMemo&>(control).ReadOnly());
      }
      break;
    case Change::AccessibleName:
      UpdateAccessibleName(control, widget);
      break;
  }
}

void FormBinding::UpdateAccessibleName(const TControl& control, QWidget& widget) {
  QString name = ToQString(control.AccessibleName());
  // A button or check box is read out by its caption as it stands.
  if (name.isEmpty() && qobject_cast<QAbstractButton*>(&widget) != nullptr) {
    name = ToQString(control.Caption());
  }
  widget.setAccessibleName(name);
}

}  // namespace toolkit::qt
