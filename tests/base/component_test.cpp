#include "base/component.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/exceptions.h"

namespace {

std::unique_ptr<TComponent> Named(TComponent* owner, const char* name) {
  auto c = std::make_unique<TComponent>(owner);
  c->SetName(name);
  return c;
}

TEST(Component, OwnerListsItsPartsInCreationOrder) {
  TComponent form;
  auto a = Named(&form, "CAjuste");
  auto b = Named(&form, "PAjuste");
  auto c = Named(&form, "cajuste");
  ASSERT_EQ(form.ComponentCount(), 3);
  EXPECT_EQ(form.Components(0), a.get());
  EXPECT_EQ(form.Components(2), c.get());
  EXPECT_EQ(b->Owner(), &form);
  EXPECT_EQ(b->ComponentIndex(), 1);
  EXPECT_EQ(form.ComponentIndex(), -1);
  EXPECT_THROW(form.Components(3), EListError);
  EXPECT_THROW(form.Components(-1), EListError);
}

TEST(Component, FindComponentIgnoresCaseAndTakesTheFirst) {
  TComponent form;
  auto a = Named(&form, "CAjuste");
  auto b = Named(&form, "PAjuste");
  auto c = Named(&form, "cajuste");
  const std::pair<const char*, TComponent*> cases[] = {
      {"CAJUSTE", a.get()}, {"cajuste", a.get()}, {"pAJUSTE", b.get()},
      {"Ajuste", nullptr},  {"", nullptr},
  };
  for (const auto& [name, found] : cases) EXPECT_EQ(form.FindComponent(name), found) << name;
}

TEST(Component, DestructionUnregistersAndDetaches) {
  auto form = std::make_unique<TComponent>();
  auto a = Named(form.get(), "A");
  auto b = Named(form.get(), "B");
  a.reset();
  ASSERT_EQ(form->ComponentCount(), 1);
  EXPECT_EQ(form->Components(0), b.get());
  EXPECT_EQ(b->ComponentIndex(), 0);
  form.reset();
  EXPECT_EQ(b->Owner(), nullptr);
  EXPECT_EQ(b->ComponentIndex(), -1);
}

}  // namespace
