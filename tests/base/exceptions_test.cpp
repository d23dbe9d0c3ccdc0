#include "base/exceptions.h"

#include <gtest/gtest.h>

#include <type_traits>

#include "base/component.h"

namespace {

TEST(Exceptions, DatabaseMessagesCarryTheComponentName) {
  TComponent form;
  TComponent named(&form);
  named.SetName("CAjuste");
  TComponent unnamed(&form);
  struct Case {
    const TComponent* component;
    const char* message;
  };
  const Case cases[] = {
      {&named, "CAjuste: Field 'AJCI_ID' must have a value"},
      {&unnamed, "Field 'AJCI_ID' must have a value"},
      {nullptr, "Field 'AJCI_ID' must have a value"},
  };
  for (const auto& c : cases) {
    try {
      DatabaseError("Field 'AJCI_ID' must have a value", c.component);
      FAIL();
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message(), c.message);
      EXPECT_STREQ(e.what(), c.message);
    }
  }
  EXPECT_THROW(DatabaseErrorFmt("Field '%s' not found", &named, "X"), EDatabaseError);
}

TEST(Exceptions, FamilyRelations) {
  const EUpdateError update("violation", "ctx", 3, 2);
  EXPECT_NE(dynamic_cast<const EDatabaseError*>(&update), nullptr);
  const EReconcileError reconcile("violation", "", 0, 0);
  EXPECT_NE(dynamic_cast<const EUpdateError*>(&reconcile), nullptr);
  const EDBClient client("refused", 9729);
  EXPECT_EQ(client.ErrorCode(), 9729);
  EXPECT_NE(dynamic_cast<const EDatabaseError*>(&client), nullptr);
  const EOleException ole("provider failed", 5, "PAjuste");
  static_assert(!std::is_base_of_v<EDatabaseError, EOleException>);
  EXPECT_EQ(ole.Source(), "PAjuste");
  EXPECT_THROW(Abort(), EAbort);
}

TEST(Exceptions, UpdateErrorKeepsTheWrappedFailure) {
  try {
    try {
      throw EDatabaseError("violation of PRIMARY or UNIQUE KEY constraint");
    } catch (const Exception& e) {
      throw EUpdateError(e.Message(), "", 1, 0, std::current_exception());
    }
  } catch (const EUpdateError& u) {
    EXPECT_EQ(u.Message(), "violation of PRIMARY or UNIQUE KEY constraint");
    EXPECT_THROW(std::rethrow_exception(u.Original()), EDatabaseError);
  }
}

TEST(Exceptions, FormatFillsTemplates) {
  struct Case {
    std::string got;
    const char* expected;
  };
  const Case cases[] = {
      {Format("'%s' is not a valid date", "30/02/2023"), "'30/02/2023' is not a valid date"},
      {Format("List index out of bounds (%d)", -1), "List index out of bounds (-1)"},
      {Format("[0x%x]: %s", 8, std::string("x")), "[0x8]: x"},
      {Format("%x", 0xBEEF), "BEEF"},
      {Format("%x", -1), "FFFFFFFFFFFFFFFF"},
      {Format("%s%%", 50), "50%"},
      {Format("%5d|%-4s|", 42, "ab"), "   42|ab  |"},
      {Format("%.3f %f", 1.23456, 2.0), "1.235 2.00"},
      {Format("%s", "%s%d"), "%s%d"},  // user text is never read as a template
      {Format("%u", 7u), "7"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.expected);
  EXPECT_THROW(Format("%s %s", "one"), EConvertError);
  EXPECT_THROW(Format("%d", "text"), EConvertError);
  EXPECT_THROW(Format("%q", 1), EConvertError);
  EXPECT_THROW(Format("trailing %"), EConvertError);
}

}  // namespace
