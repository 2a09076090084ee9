// The state every visible control holds, and the observer that mirrors it
// onto real widgets. The logic reads and writes these objects only; the Qt
// binding watches them.
#pragma once

#include <string>

#include "toolkit/colors.h"
#include "toolkit/component.h"

namespace toolkit {

class TControl;

enum class Change {
  Caption,  // caption or text
  Enabled,
  Visible,
  Color,
  FontColor,
  Items,  // drop-down items
  ItemIndex,
  Checked,
  LineAdded,     // a pane appended one line (the last)
  LinesDropped,  // a pane dropped its oldest lines
  LinesCleared,
  ReadOnly,
  AccessibleName,
};

class ControlObserver {
 public:
  virtual ~ControlObserver() = default;
  virtual void Changed(TControl& control, Change what) = 0;
};

struct TFont {
  TColor Color = clWindowText;
  bool Bold = false;
  // Height as a multiple of the form's default text height.
  int Scale = 1;
};

struct TBounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

class TControl : public TComponent {
 public:
  TControl(TComponent* AOwner, TControl* AParent, std::string name);

  TControl* Parent() const { return parent_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TColor FontColor() const { return font_.Color; }
  void SetFontColor(TColor value);
  const TFont& Font() const { return font_; }
  void SetFontBold(bool bold) { font_.Bold = bold; }
  void SetFontScale(int scale) { font_.Scale = scale; }

  TBounds Bounds;

  // What assistive tools read out for the control; its design name is its
  // accessible description.
  const std::string& AccessibleName() const { return accessibleName_; }
  void SetAccessibleName(const std::string& value);

  void SetObserver(ControlObserver* observer) { observer_ = observer; }

 protected:
  void Notify(Change what);

 private:
  TControl* parent_;
  ControlObserver* observer_ = nullptr;
  std::string caption_;
  std::string accessibleName_;
  bool enabled_ = true;
  bool visible_ = true;
  TColor color_ = clBtnFace;
  TFont font_;
};

}  // namespace toolkit
