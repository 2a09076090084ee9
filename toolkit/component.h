// Component ownership: a component owns those created with it as their
// owner, and destroys them when it is destroyed itself.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace toolkit {

class TObject {
 public:
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const {
    return components_.at(static_cast<std::size_t>(index));
  }

  std::string Name;

 private:
  void Insert(TComponent* c) { components_.push_back(c); }
  void Remove(TComponent* c);

  TComponent* owner_;
  std::vector<TComponent*> components_;
};

}  // namespace toolkit
