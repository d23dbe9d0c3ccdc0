#include "data/client/locate_expression.h"

#include <gtest/gtest.h>

#include "base/exceptions.h"

namespace {

using Kind = LocateTerm::Kind;

TEST(LocateExpression, WritesOneTermPerKeyField) {
  struct Case {
    std::vector<LocateTerm> terms;
    bool partial;
    std::string expected;
  };
  const Case cases[] = {
      {{{"AJCI_PORC", Kind::kNumber, false, "16"}}, false, "[AJCI_PORC]=16"},
      {{{"AJCI_PORC", Kind::kNumber, false, "0,8"}}, false, "[AJCI_PORC]=0,8"},
      {{{"AJCI_PORC", Kind::kNumber, true, ""}}, false, "[AJCI_PORC] IS NULL"},
      {{{"NAME", Kind::kText, false, "O'Brien"}}, false, "[NAME]='O''Brien'"},
      {{{"NAME", Kind::kText, false, "Ab"}}, true, "[NAME]='Ab*'"},
      {{{"D", Kind::kDate, false, "30/03/2023"}}, false, "[D]='30/03/2023'"},
      {{{"A", Kind::kText, false, "x"}, {"B", Kind::kNumber, false, "2"}},
       true,
       "[A]='x' and [B]=2"},
      {{{"A", Kind::kText, false, "x"}, {"B", Kind::kText, false, "y"}},
       true,
       "[A]='x' and [B]='y*'"},
      {{{"BLOB", Kind::kUnsupported, true, ""}}, false, "[BLOB] IS NULL"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(BuildLocateExpression(c.terms, c.partial), c.expected);
  }
}

TEST(LocateExpression, RefusesAFieldOfAnUnsupportedType) {
  try {
    BuildLocateExpression({{"PIC", Kind::kUnsupported, false, "x"}}, false);
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field 'PIC' is of an unsupported type");
  }
}

TEST(LocateExpression, SplitsKeyFieldNames) {
  EXPECT_EQ(SplitKeyFields("A; B;;C "), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(SplitKeyFields("AJCI_PORC"), (std::vector<std::string>{"AJCI_PORC"}));
  EXPECT_TRUE(SplitKeyFields("").empty());
}

}  // namespace
