// OwnedComponents: components owned for the life of their holder and destroyed newest first, so
// that whatever refers to an earlier component (a cached dataset to its provider, a provider to
// its SQL dataset) goes before it. Registration with an owner TComponent is the components' own
// business (see base/component.h); this only holds them.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/component.h"

class OwnedComponents {
 public:
  OwnedComponents() = default;
  ~OwnedComponents() {
    while (!components_.empty()) components_.pop_back();
  }

  OwnedComponents(const OwnedComponents&) = delete;
  OwnedComponents& operator=(const OwnedComponents&) = delete;

  // Takes `component` over; answers it.
  template <typename T>
  T& Add(std::unique_ptr<T> component) {
    T& added = *component;
    components_.push_back(std::move(component));
    return added;
  }

  // The component named exactly `name`. REQUIRES: one was added, and it is a T; otherwise
  // throws std::logic_error (a fault of the caller's definitions).
  template <typename T>
  T& Get(std::string_view name) const {
    for (const std::unique_ptr<TComponent>& c : components_) {
      if (c->Name() != name) continue;
      if (auto* typed = dynamic_cast<T*>(c.get())) return *typed;
      break;
    }
    throw std::logic_error("no component " + std::string(name) + " of that class");
  }

 private:
  std::vector<std::unique_ptr<TComponent>> components_;
};
