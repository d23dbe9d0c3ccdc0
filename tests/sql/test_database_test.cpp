// The throw-away company database the other tests build on: where it lies, what it holds, and
// that nothing of it is left behind.
#include "tests/support/test_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

TEST(TestDatabase, LiesWhereTheProgramLooksAndGoesAway) {
  std::string folder;
  {
    const TestDatabase db;
    folder = db.Folder();
    EXPECT_EQ(db.Path(), folder + "/datos/01/talvora.fdb");
    EXPECT_TRUE(std::filesystem::is_regular_file(db.Path()));
  }
  EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST(TestDatabase, HoldsTheRatesAndOnlyTheDemoHoldsSales) {
  struct Case {
    TestDatabase::Contents contents;
    bool sales;
  };
  for (const Case& c :
       {Case{TestDatabase::Contents::kSchema, false}, Case{TestDatabase::Contents::kDemo, true}}) {
    SCOPED_TRACE(c.sales);
    const TestDatabase db(c.contents);
    EXPECT_EQ(db.Query("SELECT DISTINCT TAIV_PORC FROM TARIFA_IVA ORDER BY 1"),
              (std::vector<std::string>{"0.0000", "5.0000", "19.0000"}));
    EXPECT_EQ(db.QueryOne("SELECT COUNT(*) FROM AJUSTE_CIERRE"), c.sales ? "2" : "0");
    EXPECT_EQ(db.QueryOne("SELECT COUNT(*) FROM FACTURA") != "0", c.sales);
    if (c.sales) {
      // Every prefix has cash and credit invoices, and each rate is sold for cash.
      EXPECT_EQ(db.QueryOne("SELECT COUNT(DISTINCT FACT_PREFIJO || FACT_FORMA_PAGO) FROM FACTURA"),
                "6");
      EXPECT_EQ(db.QueryOne("SELECT COUNT(DISTINCT D.FADE_PORC_IVA) FROM FACTURA F JOIN FACTURA_DETALLE "
                    "D ON D.FADE_FACTURA = F.FACT_ID WHERE F.FACT_FORMA_PAGO = 'CO'"),
                "3");
    }
  }
}

TEST(TestDatabase, FillsALargeAdjustmentTableAfterTheRowsThere) {
  const TestDatabase db(TestDatabase::Contents::kDemo);
  db.FillAjusteCierre(20000);
  EXPECT_EQ(db.QueryOne("SELECT COUNT(*) || ' ' || COUNT(DISTINCT AJCI_ID) || ' ' || MAX(AJCI_ID) FROM "
                "AJUSTE_CIERRE"),
            "20002 20002 20002");
  EXPECT_EQ(db.QueryOne("SELECT COUNT(*) FROM AJUSTE_CIERRE WHERE AJCI_FECINI IS NULL OR AJCI_FECFIN < "
                "AJCI_FECINI OR AJCI_PORC NOT IN (0, 5, 19) OR AJCI_FACTOR NOT BETWEEN 0.5 AND 1"),
            "0");
}

TEST(TestDatabase, ReportsAFailingStatementWithTheServerText) {
  const TestDatabase db;
  try {
    db.Execute("INSERT INTO NO_SUCH_TABLE VALUES (1);");
    ADD_FAILURE() << "accepted";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("NO_SUCH_TABLE"), std::string::npos) << e.what();
  }
}

TEST(TestServer, ComposesTheLoopbackLocation) {
  EXPECT_EQ(test_server::Location("/tmp/x/talvora.fdb"), "127.0.0.1/3051:/tmp/x/talvora.fdb");
}

}  // namespace
