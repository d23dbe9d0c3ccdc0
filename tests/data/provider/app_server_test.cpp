#include "data/provider/app_server.h"

#include <gtest/gtest.h>

#include "base/exceptions.h"

namespace {

TEST(AppServerMessage, DropsTrailingBlanksControlsAndFullStops) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"CommandText changes are not allowed", "CommandText changes are not allowed"},
      {"Table unknown.", "Table unknown"},
      {"Table unknown. \r\n", "Table unknown"},
      {"a.\r\n.. \t.", "a"},
      {"v1.5 failed", "v1.5 failed"},
      {"...", ""},
      {"", ""},
      {"\xc3\xa9.", "\xc3\xa9"},  // non-ASCII bytes are above 32 and stay
  };
  for (const Case& c : cases) EXPECT_EQ(TrimAppServerMessage(c.in), c.out) << c.in;
}

TEST(AppServerMessage, AFailedResultRaisesAnOleExceptionNotADatabaseError) {
  EXPECT_NO_THROW(RaiseAppServerError(TAppServerResult::Ok()));
  try {
    RaiseAppServerError(TAppServerResult::Error("Missing DataSet property."));
    FAIL();
  } catch (const EDatabaseError&) {
    FAIL() << "must not be a database error";
  } catch (const EOleException& e) {
    EXPECT_EQ(e.Message(), "Missing DataSet property");
  }
}

}  // namespace
