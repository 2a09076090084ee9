#include "toolkit/form.h"

#include "toolkit/event_loop.h"

namespace toolkit {

TForm::TForm(TComponent* AOwner, std::string name) : TControl(AOwner, nullptr, std::move(name)) {}

TForm::~TForm() {
  Destroying();
}

void TForm::Created() {
  if (OnCreate) OnCreate(this);
}

void TForm::Close() {
  if (closed_) return;
  closed_ = true;
  if (OnClose) OnClose(this);
  Application().Terminate();
}

void TForm::Destroying() {
  if (destroyed_) return;
  destroyed_ = true;
  if (OnDestroy) OnDestroy(this);
}

}  // namespace toolkit
