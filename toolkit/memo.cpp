#include "toolkit/memo.h"

namespace toolkit {

TMemo::TMemo(TComponent* AOwner, TControl* AParent, std::string name)
    : TControl(AOwner, AParent, std::move(name)) {
  SetColor(clWindow);
}

void TMemo::Append(const std::string& line) {
  lines_.push_back(line);
  lastDropped_ = 0;
  while (lines_.size() > PaneLineLimit) {
    lines_.pop_front();
    ++lastDropped_;
  }
  if (lastDropped_ > 0) Notify(Change::LinesDropped);
  Notify(Change::LineAdded);
}

void TMemo::Clear() {
  lines_.clear();
  Notify(Change::LinesCleared);
}

void TMemo::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  Notify(Change::ReadOnly);
}

void TMemo::Click() {
  if (Enabled() && OnClick) OnClick(this);
}

}  // namespace toolkit
