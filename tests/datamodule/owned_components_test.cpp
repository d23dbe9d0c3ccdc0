// The holder of the window's data components: newest first on the way out, so nothing outlives
// what it was created after; lookups that name a missing component or the wrong class refuse.
#include "datamodule/owned_components.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

class Recorder : public TComponent {
 public:
  Recorder(TComponent* owner, std::string name, std::vector<std::string>& gone)
      : TComponent(owner), gone_(gone) {
    SetName(std::move(name));
  }
  ~Recorder() override { gone_.push_back(Name()); }

 private:
  std::vector<std::string>& gone_;
};

class Other : public TComponent {};

TEST(OwnedComponentsTest, DestroysNewestFirstAndFindsByNameAndClass) {
  TComponent window;
  std::vector<std::string> gone;
  {
    OwnedComponents owned;
    for (const char* name : {"SQLQuery1", "PRepArticulos", "CRepArticulos"}) {
      owned.Add(std::make_unique<Recorder>(&window, name, gone));
    }
    owned.Add(std::make_unique<Other>()).SetName("Other");
    EXPECT_EQ(&owned.Get<Recorder>("PRepArticulos"), window.Components(1));
    EXPECT_THROW(owned.Get<Recorder>("Other"), std::logic_error);
    EXPECT_THROW(owned.Get<Recorder>("prepArticulos"), std::logic_error);
    EXPECT_THROW(owned.Get<Recorder>("Missing"), std::logic_error);
  }
  EXPECT_EQ(gone, (std::vector<std::string>{"CRepArticulos", "PRepArticulos", "SQLQuery1"}));
  EXPECT_EQ(window.ComponentCount(), 0);
}

}  // namespace
