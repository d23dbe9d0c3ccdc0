// Composition of database error messages from driver result codes and texts.
#include "db/sql/sql_error.h"

#include <gtest/gtest.h>

namespace {

TEST(DriverMessage, CodesWithDescriptionsAndTheirServerPart) {
  struct Case {
    SQLResult code;
    const char* description;
  };
  const Case cases[] = {
      {1, "[0x0001]: Warning"},
      {2, "[0x0002]: Insufficient Memory for Operation"},
      {3, "[0x0003]: Invalid Field Type"},
      {4, "[0x0004]: Invalid Handle"},
      {5, "[0x0005]: Operation Not Supported"},
      {6, "[0x0006]: Invalid Time"},
      {7, "[0x0007]: Invalid Data Translation"},
      {8, "[0x0008]: Parameter/Column out of Range"},
      {9, "[0x0009]: Invalid Parameter"},
      {10, "[0x000A]: Result set at EOF"},
      {11, "dbExpress Error [0x000B]: Parameter Not Set"},
      {12, "[0x000C] Invalid Username/Password"},
      {13, "[0x000D]: Invalid Precision"},
      {14, "[0x000E]: Invalid Length"},
      {15, "[0x000F]: Invalid Transaction Isolation Level"},
      {16, "[0x0010]: Invalid Transaction ID"},
      {17, "[0x0011]: Duplicate Transaction ID"},
      {19, "[0x0013]: Local Transaction already active"},
      {20, "[0x0014]: Multiple Transactions not Enabled"},
      {21, "[0x0015]: Connection failed"},
      {22, "[0x0016]: Driver initialization failed"},
      {23, "[0x0017]: Optimistic Locking failed"},
      {24, "[0x0018]: Invalid REF"},
      {25, "[0x0019]: No table found"},
      {64, "[0x0064]: No more data"},
      {65, "[0x0065]: SQL Error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    const std::string description = std::string("dbExpress Error: ") + c.description;
    EXPECT_EQ(ComposeDriverMessage(c.code, "", ""), description);
    EXPECT_EQ(ComposeDriverMessage(c.code, "", "earlier"), description);
    EXPECT_EQ(ComposeDriverMessage(c.code, "boom\nline two", "earlier"),
              description + "\r\nSQL Server Error: boom\nline two");
  }
}

TEST(DriverMessage, CodesWithoutDescription) {
  struct Case {
    SQLResult code;
    const char* server;
    const char* previous;
    const char* expected;
  };
  const Case cases[] = {
      // Uncovered codes below 101 and every code above 100: no description part.
      {18, "", "", "dbExpress Error: Unknown Error Code '18'"},
      {0x64, "", "", "dbExpress Error: Unknown Error Code '100'"},
      {26, "text", "", "SQL Server Error: text"},
      {101, "violation of PRIMARY or UNIQUE KEY", "earlier",
       "SQL Server Error: violation of PRIMARY or UNIQUE KEY"},
      {257, "", "", "dbExpress Error: Unknown Error Code '257'"},
      {65535, "", "", "dbExpress Error: Unknown Error Code '65535'"},
      // Nothing else to say: the previous message of the same object stands.
      {257, "", "earlier", "earlier"},
      {18, "", "dbExpress Error: [0x0015]: Connection failed",
       "dbExpress Error: [0x0015]: Connection failed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(ComposeDriverMessage(c.code, c.server, c.previous), c.expected);
  }
}

}  // namespace
