// The table a save writes: the name found in a query's statement and the name as the statements
// write it.
#include "data/resolver/table_name.h"

#include <gtest/gtest.h>

namespace {

TEST(QuotedTableName, QuotesEachPartUnlessTheNameIsQuotedAlready) {
  struct Case {
    const char* name;
    const char* quote;
    const char* quoted;
  };
  const Case cases[] = {
      {"AJUSTE_CIERRE", "\"", "\"AJUSTE_CIERRE\""},
      {"CONTA.AJUSTE_CIERRE", "\"", "\"CONTA\".\"AJUSTE_CIERRE\""},
      {"CAT.CONTA.AJUSTE", "\"", "\"CAT\".\"CONTA\".\"AJUSTE\""},
      {"A.B.C.D", "\"", "\"A\".\"B\".\"C.D\""},
      {"AJUSTE_CIERRE", "", "AJUSTE_CIERRE"},
      {"CONTA.AJUSTE", "", "CONTA.AJUSTE"},
      {"\"Ajuste Cierre\"", "\"", "\"Ajuste Cierre\""},
      {"'AJUSTE'", "\"", "'AJUSTE'"},
      {"`AJUSTE`", "\"", "`AJUSTE`"},
      {"AJUSTE\"", "\"", "AJUSTE\""},
      {"\"CONTA\".AJUSTE", "\"", "\"CONTA\".AJUSTE"},
      {"AJUSTE", "`", "`AJUSTE`"},
      {"", "\"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(QuotedTableName(c.name, c.quote), c.quoted);
  }
}

TEST(TableNameOfStatement, FindsTheOneTableAStatementReads) {
  struct Case {
    const char* sql;
    const char* table;
  };
  const Case cases[] = {
      {"SELECT DISTINCT TAIV_PORC FROM TARIFA_IVA", "TARIFA_IVA"},
      {"select * from AJUSTE_CIERRE where AJCI_ID = :id", "AJUSTE_CIERRE"},
      {"select a.AJCI_ID from AJUSTE_CIERRE a order by 1, 2", "AJUSTE_CIERRE"},
      {"select * from\r\n  \"Ajuste Cierre\"\r\nwhere 1 = 1", "\"Ajuste Cierre\""},
      {"select * from CONTA.AJUSTE", "CONTA.AJUSTE"},
      {"select * from CONTA . \"AJUSTE\" x", "CONTA.\"AJUSTE\""},
      {"select (select max(X) from OTRA) as M from AJUSTE_CIERRE", "AJUSTE_CIERRE"},
      {"select 'from TEXTO' as T from AJUSTE_CIERRE", "AJUSTE_CIERRE"},
      {"select /* from COMENTARIO */ * -- from LINEA\n from AJUSTE_CIERRE", "AJUSTE_CIERRE"},
      {"select \"from\" from AJUSTE_CIERRE", "AJUSTE_CIERRE"},
      {"select * from AJUSTE_CIERRE group by 1 having count(*) > 1", "AJUSTE_CIERRE"},
      {"select a from T1 where a in (select b from T2, T3)", "T1"},
      // No single table.
      {"select * from contado_quelmo_pref('01/10/2026', '31/10/2026', 'CAJ1')", ""},
      {"select * from (select AJCI_ID from AJUSTE_CIERRE)", ""},
      {"select * from T1, T2", ""},
      {"select * from T1 a join T2 b on a.x = b.x", ""},
      {"select * from T1 left outer join T2 on 1 = 1", ""},
      {"select a from T1 where a > 0 union select a from T2", ""},
      {"select current_date", ""},
      {"", ""},
      {"select * from", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    EXPECT_EQ(TableNameOfStatement(c.sql), c.table);
  }
}

}  // namespace
