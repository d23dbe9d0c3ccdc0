// The posting procedure on the demo sales: what it writes into the journal, what it marks as
// posted, and how it reads the dates the program hands it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_database.h"

namespace {

std::string Post(const std::string& from, const std::string& to, const std::string& prefix) {
  auto quoted = [](std::string s) {
    for (size_t i = 0; (i = s.find('\'', i)) != std::string::npos; i += 2) s.insert(i, 1, '\'');
    return "'" + s + "'";
  };
  return "SELECT COUNT(*) FROM CONTADO_QUELMO_PREF(" + quoted(from) + ", " + quoted(to) + ", " +
         quoted(prefix) + ")";
}

class PostingProcedure : public ::testing::Test {
 protected:
  TestDatabase db_{TestDatabase::Contents::kDemo};
};

TEST_F(PostingProcedure, PostsEachDayAndRateScaledByThePeriodFactor) {
  // October carries factors 0.8 (19 %) and 0.9 (5 %); the exempt rate has none, so 1.
  const std::string returned = db_.QueryOne(Post("01/10/2026", "31/10/2026", "CAJ1"));
  EXPECT_NE(returned, "0");
  // One row back per entry written.
  EXPECT_EQ(db_.QueryOne("SELECT COUNT(*) FROM ASIENTO"), returned);

  // One entry per day and rate holding that day's cash sales of CAJ1 at that rate.
  EXPECT_EQ(
      db_.QueryOne("SELECT COUNT(*) FROM (SELECT F.FACT_FECHA, D.FADE_PORC_IVA, "
          "SUM(D.FADE_CANTIDAD * D.FADE_VALOR_UNITARIO) V FROM FACTURA F "
          "JOIN FACTURA_DETALLE D ON D.FADE_FACTURA = F.FACT_ID WHERE F.FACT_PREFIJO = 'CAJ1' "
          "AND F.FACT_FORMA_PAGO = 'CO' AND F.FACT_FECHA BETWEEN '2026-10-01' AND '2026-10-31' "
          "GROUP BY 1, 2) S LEFT JOIN ASIENTO A ON A.ASIE_FECHA = S.FACT_FECHA "
          "AND A.ASIE_PORC_IVA = S.FADE_PORC_IVA AND A.ASIE_VENTAS = S.V "
          "WHERE A.ASIE_ID IS NULL"),
      "0");
  // Base = sales times factor, tax = base times rate, total = base plus tax.
  struct Rate {
    const char* rate;
    const char* factor;
  };
  for (const Rate& r : {Rate{"19", "0.8"}, Rate{"5", "0.9"}, Rate{"0", "1"}}) {
    SCOPED_TRACE(r.rate);
    EXPECT_EQ(
        db_.QueryOne(std::string("SELECT COUNT(*) FROM ASIENTO WHERE ASIE_PORC_IVA = ") + r.rate +
                     " AND (ASIE_FACTOR <> " + r.factor + " OR ASIE_BASE <> CAST(ASIE_VENTAS * " +
                     r.factor + " AS NUMERIC(15,2)) OR ASIE_IVA <> CAST(ASIE_BASE * " + r.rate +
                     " / 100 AS NUMERIC(15,2)) OR ASIE_TOTAL <> ASIE_BASE + ASIE_IVA)"),
        "0");
    EXPECT_NE(db_.QueryOne(std::string("SELECT COUNT(*) FROM ASIENTO WHERE ASIE_PORC_IVA = ") + r.rate),
              "0");
  }
  // Every entry balances: cash on the debit side, sales and tax on the credit side.
  EXPECT_EQ(
      db_.QueryOne("SELECT COUNT(*) FROM ASIENTO A WHERE A.ASIE_TOTAL <> (SELECT SUM(ASDE_DEBITO) FROM "
          "ASIENTO_DETALLE WHERE ASDE_ASIENTO = A.ASIE_ID) OR A.ASIE_TOTAL <> (SELECT "
          "SUM(ASDE_CREDITO) FROM ASIENTO_DETALLE WHERE ASDE_ASIENTO = A.ASIE_ID)"),
      "0");
}

TEST_F(PostingProcedure, PostsOnlyPendingCashInvoicesOfThePrefixAndPeriod) {
  ASSERT_NE(db_.QueryOne(Post("01/10/2026", "15/10/2026", "CAJ1")), "0");
  EXPECT_EQ(db_.QueryOne("SELECT COUNT(*) FROM FACTURA WHERE FACT_CONTABILIZADA = 1 AND NOT (FACT_PREFIJO = "
                "'CAJ1' AND FACT_FORMA_PAGO = 'CO' AND FACT_FECHA BETWEEN '2026-10-01' AND "
                "'2026-10-15')"),
            "0");
  EXPECT_EQ(
      db_.QueryOne("SELECT COUNT(*) FROM FACTURA WHERE FACT_CONTABILIZADA = 0 AND FACT_PREFIJO = 'CAJ1' "
          "AND FACT_FORMA_PAGO = 'CO' AND FACT_FECHA BETWEEN '2026-10-01' AND '2026-10-15'"),
      "0");
  // Posting the same period again finds nothing pending and returns no row.
  EXPECT_EQ(db_.QueryOne(Post("01/10/2026", "15/10/2026", "CAJ1")), "0");
  // An overlapping period posts only the days not posted yet.
  ASSERT_NE(db_.QueryOne(Post("10/10/2026", "20/10/2026", "CAJ1")), "0");
  EXPECT_EQ(db_.QueryOne("SELECT COUNT(*) FROM ASIENTO WHERE ASIE_FECHA < '2026-10-16' AND ASIE_LOTE = "
                "(SELECT MAX(ASIE_LOTE) FROM ASIENTO)"),
            "0");
}

TEST_F(PostingProcedure, WithoutAFactorForThePeriodTheSalesGoUnscaled) {
  ASSERT_NE(db_.QueryOne(Post("01/11/2026", "30/11/2026", "DOM")), "0");
  EXPECT_EQ(
      db_.QueryOne("SELECT COUNT(*) FROM ASIENTO WHERE ASIE_FACTOR <> 1 OR ASIE_BASE <> ASIE_VENTAS"),
      "0");
}

TEST_F(PostingProcedure, APrefixIsOnlyEverAValue) {
  const std::string before = db_.QueryOne("SELECT COUNT(*) FROM FACTURA");
  for (const char* prefix : {"X'; DELETE FROM FACTURA; --", "CAJ1' OR '1'='1", "", "caj1"}) {
    SCOPED_TRACE(prefix);
    EXPECT_EQ(db_.QueryOne(Post("01/10/2026", "30/11/2026", prefix)), "0");
  }
  EXPECT_EQ(db_.QueryOne("SELECT COUNT(*) FROM FACTURA"), before);
  EXPECT_EQ(db_.QueryOne("SELECT COUNT(*) FROM ASIENTO"), "0");
}

TEST_F(PostingProcedure, ReadsTheDatesAsTheProgramWritesThem) {
  for (const char* text : {"1/10/2026", "01/10/2026", "01-10-2026", "01.10.2026", "1/10/26",
                           "01-10-26", " 01/10/2026 ", "2026-10-01", "2026/10/01"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(db_.QueryOne(std::string("SELECT LEER_FECHA('") + text + "') FROM RDB$DATABASE"),
              "2026-10-01");
  }
}

TEST_F(PostingProcedure, RefusesTextsThatAreNotDates) {
  for (const char* text : {"", "hola", "31/02/2026", "00/10/2026", "01/13/2026", "01/10",
                           "01/10/2026/1", "1/10/202", "a1/10/2026", "01//2026"}) {
    SCOPED_TRACE(text);
    try {
      db_.Query(Post(text, "31/10/2026", "CAJ1"));
      ADD_FAILURE() << "accepted";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find("Fecha no valida"), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(db_.QueryOne("SELECT COUNT(*) FROM FACTURA WHERE FACT_CONTABILIZADA = 1"), "0");
}

}  // namespace
