// Buttons, edits, drop-down lists, check boxes, labels and panels.
// The user's actions (Click, KeyDown, TypeChar, ...) are operations here, so
// that tests and the Qt binding raise them the same way.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/control.h"

namespace toolkit {

using TShiftState = std::uint32_t;
constexpr TShiftState ssShift = 1;
constexpr TShiftState ssAlt = 2;
constexpr TShiftState ssCtrl = 4;

constexpr std::uint16_t VK_BACK = 0x08;
constexpr std::uint16_t VK_RETURN = 0x0D;
constexpr std::uint16_t VK_SPACE = 0x20;

using TKeyEvent = std::function<void(TObject* Sender, std::uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

class TButton : public TControl {
 public:
  using TControl::TControl;
  TNotifyEvent OnClick;
  TKeyEvent OnKeyDown;
  // A click by the operator: only an enabled, visible button reacts.
  void Click();
  void KeyDown(std::uint16_t key, TShiftState shift = 0);
};

class TEdit : public TControl {
 public:
  TEdit(TComponent* AOwner, TControl* AParent, std::string name);
  // The edit's text is its caption.
  const std::string& Text() const { return Caption(); }
  void SetText(const std::string& value) { SetCaption(value); }
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value) { maxLength_ = value; }
  TKeyPressEvent OnKeyPress;
  // One typed character, as from the keyboard: the key-press handler may
  // swallow it (set it to 0); backspace removes the last character; the
  // length limit refuses the rest.
  void TypeChar(char key);
  // Text inserted another way (the context menu's paste): no key presses.
  void Paste(const std::string& text);

 private:
  int maxLength_ = 0;  // 0: no limit
};

class TComboBox : public TControl {
 public:
  TComboBox(TComponent* AOwner, TControl* AParent, std::string name);
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  int ItemIndex() const { return itemIndex_; }
  // -1 for none; the shown text follows the selection.
  void SetItemIndex(int index);
  const std::string& Text() const { return Caption(); }
  // The operator typed into the editable list: no item is selected then.
  void TypeText(const std::string& text);

 private:
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};

class TCheckBox : public TControl {
 public:
  using TControl::TControl;
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  TNotifyEvent OnClick;
  // The operator's click toggles the box, then the handler runs.
  void Click();

 private:
  bool checked_ = false;
};

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TControl {
 public:
  TLabel(TComponent* AOwner, TControl* AParent, std::string name);
  TNotifyEvent OnClick;
  // Where the caption stands across the label; set before the window is built.
  TAlignment Alignment = taLeftJustify;
};

// A panel or bevel: a frame that groups other controls.
class TPanel : public TControl {
 public:
  using TControl::TControl;
  bool Bevel = false;  // a thin sunken line rather than a raised panel
};

}  // namespace toolkit
