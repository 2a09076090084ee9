// A multi-line text pane that appends whole lines. It keeps at most
// PaneLineLimit lines and drops the oldest beyond that, so that a console
// left polling for days stays within its memory.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "toolkit/control.h"

namespace toolkit {

constexpr std::size_t PaneLineLimit = 10000;

class TMemo : public TControl {
 public:
  TMemo(TComponent* AOwner, TControl* AParent, std::string name);

  void Append(const std::string& line);
  void Clear();
  const std::deque<std::string>& Lines() const { return lines_; }
  std::size_t LineCount() const { return lines_.size(); }
  // The last line, or "" for an empty pane.
  std::string LastLine() const { return lines_.empty() ? std::string() : lines_.back(); }
  // How many lines the last Append dropped from the top.
  std::size_t LastDropped() const { return lastDropped_; }

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  TNotifyEvent OnClick;
  void Click();

 private:
  std::deque<std::string> lines_;
  std::size_t lastDropped_ = 0;
  bool readOnly_ = false;
};

}  // namespace toolkit
