#include "toolkit/std_controls.h"

namespace toolkit {

void TButton::Click() {
  if (Enabled() && Visible() && OnClick) OnClick(this);
}

void TButton::KeyDown(std::uint16_t key, TShiftState shift) {
  if (Enabled() && Visible() && OnKeyDown) OnKeyDown(this, key, shift);
}

TEdit::TEdit(TComponent* AOwner, TControl* AParent, std::string name)
    : TControl(AOwner, AParent, std::move(name)) {
  SetColor(clWindow);
}

void TEdit::TypeChar(char key) {
  if (!Enabled() || !Visible()) return;
  if (OnKeyPress) OnKeyPress(this, key);
  if (key == 0) return;
  std::string text = Text();
  if (key == static_cast<char>(VK_BACK)) {
    if (!text.empty()) text.pop_back();
  } else if (maxLength_ == 0 || static_cast<int>(text.size()) < maxLength_) {
    text.push_back(key);
  }
  SetText(text);
}

void TEdit::Paste(const std::string& text) {
  if (!Enabled()) return;
  std::string next = Text() + text;
  if (maxLength_ > 0 && static_cast<int>(next.size()) > maxLength_) {
    next.resize(static_cast<std::size_t>(maxLength_));
  }
  SetText(next);
}

TComboBox::TComboBox(TComponent* AOwner, TControl* AParent, std::string name)
    : TControl(AOwner, AParent, std::move(name)) {
  SetColor(clWindow);
}

void TComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  itemIndex_ = -1;
  Notify(Change::Items);
}

void TComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
  const bool changed = index != itemIndex_;
  itemIndex_ = index;
  if (index >= 0) SetCaption(items_[static_cast<std::size_t>(index)]);
  if (changed) Notify(Change::ItemIndex);
}

void TComboBox::TypeText(const std::string& text) {
  const bool changed = itemIndex_ != -1;
  itemIndex_ = -1;
  SetCaption(text);
  if (changed) Notify(Change::ItemIndex);
}

void TCheckBox::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  Notify(Change::Checked);
}

void TCheckBox::Click() {
  if (!Enabled() || !Visible()) return;
  SetChecked(!checked_);
  if (OnClick) OnClick(this);
}

TLabel::TLabel(TComponent* AOwner, TControl* AParent, std::string name)
    : TControl(AOwner, AParent, std::move(name)) {}

}  // namespace toolkit
