#include "toolkit/control.h"

namespace toolkit {

TControl::TControl(TComponent* AOwner, TControl* AParent, std::string name)
    : TComponent(AOwner), parent_(AParent) {
  Name = std::move(name);
}

void TControl::Notify(Change what) {
  if (observer_ != nullptr) observer_->Changed(*this, what);
}

void TControl::SetCaption(const std::string& value) {
  if (value == caption_) return;
  caption_ = value;
  Notify(Change::Caption);
}

void TControl::SetAccessibleName(const std::string& value) {
  if (value == accessibleName_) return;
  accessibleName_ = value;
  Notify(Change::AccessibleName);
}

void TControl::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Notify(Change::Enabled);
}

void TControl::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  Notify(Change::Visible);
}

void TControl::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  Notify(Change::Color);
}

void TControl::SetFontColor(TColor value) {
  if (value == font_.Color) return;
  font_.Color = value;
  Notify(Change::FontColor);
}

}  // namespace toolkit
