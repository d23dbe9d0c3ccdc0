// TComponent: a named object that may belong to an owner component.
//
// A component registers with its owner when constructed and unregisters when destroyed, so the
// owner sees the components it owns in the order they were created. Registration does NOT
// transfer ownership: the owning C++ object keeps its parts in std::unique_ptr members and
// destroys them, which removes them from the list. If the owner is destroyed first, the
// components it still lists are detached (their Owner() becomes null).
//
// Names are free text; several components may carry the same name, and FindComponent returns
// the first one. Not thread-safe: components live on the user-interface thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TComponent {
 public:
  // `owner` may be null. The owner must outlive this call; it is referred to, not owned.
  explicit TComponent(TComponent* owner = nullptr);
  virtual ~TComponent();

  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const noexcept { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  // Non-owning; null when the component has no owner or the owner is gone.
  TComponent* Owner() const noexcept { return owner_; }

  // The components this one owns, in creation order.
  int ComponentCount() const noexcept { return static_cast<int>(components_.size()); }
  // REQUIRES: 0 <= index < ComponentCount(); otherwise throws EListError.
  TComponent* Components(int index) const;

  // Position of this component in its owner's list; -1 without owner.
  int ComponentIndex() const;

  // The first owned component whose Name equals `name` without regard to ASCII letter case;
  // null when none does (or `name` is empty).
  TComponent* FindComponent(std::string_view name) const;

 private:
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  std::string name_;
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
};
