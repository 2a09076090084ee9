// The top-level window: a caption, its client size and position, a close
// request, and notifications when it is created, closed and destroyed.
#pragma once

#include "toolkit/control.h"

namespace toolkit {

class TForm : public TControl {
 public:
  explicit TForm(TComponent* AOwner, std::string name);
  ~TForm() override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnClose;
  TNotifyEvent OnDestroy;

  int ClientWidth = 0;
  int ClientHeight = 0;
  int Left = 0;
  int Top = 0;
  bool MaximizeButton = true;
  bool AutoScroll = false;

  // Runs OnCreate; the form's maker calls it once all controls exist.
  void Created();
  // The close request ("Exit", the title bar): OnClose, then the loop ends.
  void Close();
  bool Closed() const { return closed_; }
  // Runs OnDestroy; the maker calls it before the controls go.
  void Destroying();

 private:
  bool closed_ = false;
  bool destroyed_ = false;
};

}  // namespace toolkit
