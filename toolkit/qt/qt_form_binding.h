// Builds a real window from a TForm and every control it owns, mirrors each
// change of the controls onto their widgets, and turns the widgets' events
// back into the controls' events.
#pragma once

#include <QFont>
#include <memory>
#include <unordered_map>

#include "toolkit/control.h"
#include "toolkit/form.h"

class QWidget;

namespace toolkit::qt {

class InputRelay;
class FormWindow;

class FormBinding : public ControlObserver {
 public:
  // Builds the window (hidden) from the form's controls as they stand: their
  // kinds, parents, bounds, fonts and state. Controls made later are not
  // shown. The binding must go before the form does.
  explicit FormBinding(TForm& form);
  ~FormBinding() override;
  FormBinding(const FormBinding&) = delete;
  FormBinding& operator=(const FormBinding&) = delete;

  // Sizes and places the window from the form (client size, position,
  // scrolling, title-bar buttons) and shows it.
  void Show();

  QWidget* Window() const;
  // The widget that shows a control, or nullptr.
  QWidget* WidgetOf(const TControl& control) const;

  void Changed(TControl& control, Change what) override;

 private:
  QWidget* Build(TControl& control);
  void BuildAll(TComponent& owner);
  void Mirror(TControl& control, QWidget& widget, Change what);
  void MirrorAll(TControl& control, QWidget& widget);
  void UpdateAccessibleName(const TControl& control, QWidget& widget);

  TForm& form_;
  QFont font_;
  std::unique_ptr<InputRelay> relay_;
  std::unique_ptr<FormWindow> window_;
  QWidget* content_ = nullptr;
  std::unordered_map<const TControl*, QWidget*> widgets_;
};

}  // namespace toolkit::qt
