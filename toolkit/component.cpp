#include "toolkit/component.h"

#include <algorithm>

namespace toolkit {

TComponent::TComponent(TComponent* AOwner) : owner_(AOwner) {
  if (owner_ != nullptr) owner_->Insert(this);
}

TComponent::~TComponent() {
  // Last created goes first, so a component never outlives what it was built on.
  while (!components_.empty()) {
    TComponent* c = components_.back();
    components_.pop_back();
    c->owner_ = nullptr;
    delete c;
  }
  if (owner_ != nullptr) owner_->Remove(this);
}

void TComponent::Remove(TComponent* c) {
  components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
}

}  // namespace toolkit
