#include "base/param_list.h"

#include <gtest/gtest.h>

#include "base/exceptions.h"

namespace {

TEST(ParamList, ValueMatchesNamesWithoutCaseFirstWins) {
  const ParamList p{"DriverName=Interbase", "Password=masterkey", "password=second", "NoEquals",
                    "Empty="};
  const std::pair<const char*, const char*> cases[] = {
      {"PASSWORD", "masterkey"},
      {"drivername", "Interbase"},
      {"Empty", ""},
      {"NoEquals", ""},
      {"Absent", ""},
  };
  for (const auto& [name, value] : cases) EXPECT_EQ(p.Value(name), value) << name;
  EXPECT_EQ(p.IndexOfName("PassWord"), 1);
  EXPECT_EQ(p.IndexOfName("NoEquals"), -1);
  EXPECT_EQ(p.NameAt(0), "DriverName");
  EXPECT_EQ(p.ValueAt(1), "masterkey");
  EXPECT_THROW(p.ValueAt(5), EListError);
}

TEST(ParamList, SetValueReplacesTheFirstMatchWithTheNameAsWritten) {
  struct Case {
    ParamList before;
    const char* name;
    const char* value;
    ParamList after;
  };
  const Case cases[] = {
      {{"Password=x"}, "password", "y", {"password=y"}},
      {{"A=1", "User_Name=SYSDBA", "B=2"}, "User_Name", " ana ", {"A=1", "User_Name= ana ", "B=2"}},
      {{"A=1"},
       "Database",
       "srv:/datos/01/talvora.fdb",
       {"A=1", "Database=srv:/datos/01/talvora.fdb"}},
      {{"p=1", "P=2"}, "P", "3", {"P=3", "P=2"}},
      {{"Password=x"}, "Password", "", {"Password="}},
      {{"Password"}, "Password", "z", {"Password", "Password=z"}},
  };
  for (const auto& c : cases) {
    ParamList p = c.before;
    p.SetValue(c.name, c.value);
    EXPECT_EQ(p.Lines(), c.after.Lines()) << c.name;
  }
}

TEST(ParamList, AddAndDelete) {
  ParamList p;
  p.Add("a=1");
  p.Add("b=2");
  p.Delete(0);
  ASSERT_EQ(p.Count(), 1);
  EXPECT_EQ(p.Lines()[0], "b=2");
  EXPECT_THROW(p.Delete(1), EListError);
}

}  // namespace
