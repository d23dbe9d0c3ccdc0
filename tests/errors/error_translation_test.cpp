// The Spanish sentences in place of recognised failure texts: each rule with a text that matches
// and one that just misses, and the field lists the sentences name.
#include "errors/error_translation.h"

#include <gtest/gtest.h>

#include "data/provider/dataset_provider.h"
#include "tests/db/dataset/memory_dataset.h"

namespace {

struct RuleCase {
  const char* message;
  const char* shown;
};

void PrintTo(const RuleCase& c, std::ostream* os) {
  *os << '[' << c.message << ']';
}

class ProviderRules : public testing::TestWithParam<RuleCase> {};

TEST_P(ProviderRules, LookAtTheServerTextAfterItsPrefix) {
  EXPECT_EQ(TranslateProviderError(GetParam().message, "Ajuste"), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProviderRules,
    testing::Values(
        RuleCase{"SQL Server Error: violation of PRIMARY or UNIQUE KEY constraint \"PK\" on table "
                 "\"AJUSTE_CIERRE\"",
                 "Ya existe el registro en la tabla Ajuste"},
        // Exactly 38 characters: the stretch ends at the last one.
        RuleCase{"SQL Server Error: violation of PRIMARY",
                 "Ya existe el registro en la tabla Ajuste"},
        // 37 characters: the stretch does not fit.
        RuleCase{"SQL Server Error: violation of PRIMAR", "SQL Server Error: violation of PRIMAR"},
        RuleCase{"SQL Server Error: violation of FOREIGN KEY constraint \"FK\" on table \"X\"",
                 "Está borrando o insertando un registro en la tabla Ajuste que tiene una "
                 "relación con otra tabla."},
        RuleCase{"SQL Server Error: violation of FOREIGN",
                 "Está borrando o insertando un registro en la tabla Ajuste que tiene una "
                 "relación con otra tabla."},
        // One position off, or another letter case, is no match.
        RuleCase{"SQL Server Error:  violation of PRIMARY key",
                 "SQL Server Error:  violation of PRIMARY key"},
        RuleCase{"SQL Server Error: Violation of PRIMARY key",
                 "SQL Server Error: Violation of PRIMARY key"},
        RuleCase{"violation of PRIMARY or UNIQUE KEY constraint",
                 "violation of PRIMARY or UNIQUE KEY constraint"},
        RuleCase{"Record not found or changed by another user",
                 "Record not found or changed by another user"},
        RuleCase{"", ""}));

class CachedDataSetRules : public testing::TestWithParam<RuleCase> {};

TEST_P(CachedDataSetRules, LookAtTheStartOfTheText) {
  EXPECT_EQ(TranslateCachedDataSetError(GetParam().message, "AJCI_ID, ", "AJCI_ID AJCI_PORC "),
            GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CachedDataSetRules,
    testing::Values(
        RuleCase{"Cannot delete master record with details",
                 "Error. Borre antes los detalles dependientes del registro."},
        // Exactly 30 characters, and one fewer.
        RuleCase{"Cannot delete master record wi",
                 "Error. Borre antes los detalles dependientes del registro."},
        RuleCase{"Cannot delete master record w", "Cannot delete master record w"},
        RuleCase{"Field 'AJCI_ID' must have a value", "Los campos AJCI_ID,  son obligatorios."},
        RuleCase{"Fie", "Los campos AJCI_ID,  son obligatorios."}, RuleCase{"Fi", "Fi"},
        RuleCase{"field 'AJCI_ID' must have a value", "field 'AJCI_ID' must have a value"},
        RuleCase{"key violation", "Ya existe un registro con el mismo AJCI_ID AJCI_PORC "},
        RuleCase{"Key violation", "Key violation"},
        // A provider's rule is not a cached dataset's.
        RuleCase{"SQL Server Error: violation of PRIMARY or UNIQUE KEY constraint",
                 "SQL Server Error: violation of PRIMARY or UNIQUE KEY constraint"},
        RuleCase{"CAjuste: Deletes are not allowed", "CAjuste: Deletes are not allowed"},
        RuleCase{"", ""}));

TEST(CachedDataSetRules, WithoutRequiredNullFieldsTwoBlanksStandBeforeSon) {
  EXPECT_EQ(TranslateCachedDataSetError("Field 'X' must have a value", "", ""),
            "Los campos  son obligatorios.");
  EXPECT_EQ(TranslateCachedDataSetError("key violation", "", ""),
            "Ya existe un registro con el mismo ");
}

class UnhandledRules : public testing::TestWithParam<RuleCase> {};

TEST_P(UnhandledRules, RecogniseTheDriversConnectFailures) {
  EXPECT_EQ(TranslateUnhandledError(GetParam().message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnhandledRules,
    testing::Values(
        RuleCase{"Talvora: falla", "Se presento el siguiente error: Talvora: falla"},
        // Only driver texts are looked into: the same words elsewhere are shown as they are.
        RuleCase{"SQL Server Error: Connection failed",
                 "Se presento el siguiente error: SQL Server Error: Connection failed"},
        RuleCase{"dbexpress Error: Connection failed",
                 "Se presento el siguiente error: dbexpress Error: Connection failed"},
        RuleCase{"dbExpress Error: [0x0015]: Connection failed\r\nSQL Server Error: Your user name "
                 "and password are not defined. Ask your database administrator to set up a "
                 "Firebird login.",
                 "El nombre de Usuario o la clave son incorrectas."},
        RuleCase{"dbExpress Error: [0x0015]: Connection failed\r\nSQL Server Error: I/O error for "
                 "file \"C:\\datos\\01\\talvora.fdb\"",
                 "No se encontró el archivo o la ruta C:\\datos\\01\\talvora.fdb"},
        // The server's own form names the operation in quotes before the file.
        RuleCase{"dbExpress Error: [0x0015]: Connection failed\r\nSQL Server Error: I/O error "
                 "during \"open\" operation for file \"/srv/erp/datos/01/talvora.fdb\"",
                 "No se encontró el archivo o la ruta /srv/erp/datos/01/talvora.fdb"},
        RuleCase{"dbExpress Error: [0x0015]: Connection failed\r\nSQL Server Error: I/O error for "
                 "file \"sin cierre",
                 "No se encontró el archivo o la ruta "},
        RuleCase{"dbExpress Error: [0x0015]: Connection failed\r\nSQL Server Error: Unable to "
                 "complete network request to host \"servidor1\".",
                 "No se encontró el equipo servidor con nombre servidor1"},
        RuleCase{"dbExpress Error: [0x0015]: Connection failed\r\nSQL Server Error: Unable to "
                 "complete network request to host",
                 "No se encontró el equipo servidor con nombre "},
        RuleCase{"dbExpress Error: [0x0015]: Connection failed",
                 "No se encontró el servidor Interbase/Firebird. Verifique Servidor en panel de "
                 "control y puerto TCP 3050."},
        RuleCase{"dbExpress Error: [0x000E]: Unknown SQL error",
                 "Se presento el siguiente error: dbExpress Error: [0x000E]: Unknown SQL error"}));

TEST(ProviderTableName, IsTheSourceDatasetsNameWithoutItsFirstCharacter) {
  TMemoryDataSet table({});
  TDataSetProvider provider;
  provider.SetDataSet(&table);
  struct Case {
    const char* name;
    const char* table;
  };
  for (const Case c : {Case{"TAjuste", "Ajuste"}, Case{"T", ""}, Case{"", ""}}) {
    table.SetName(c.name);
    EXPECT_EQ(ProviderTableName(&provider), c.table) << c.name;
  }
  TDataSetProvider withoutDataSet;
  EXPECT_EQ(ProviderTableName(&withoutDataSet), "");
  EXPECT_EQ(ProviderTableName(&table), "") << "not a provider";
  EXPECT_EQ(ProviderTableName(nullptr), "");
}

TFieldDef Def(const char* name) {
  TFieldDef def;
  def.Name = name;
  def.DataType = TFieldType::ftInteger;
  return def;
}

TEST(RequiredNullFieldNames, NamesEveryRequiredNullFieldInFieldOrder) {
  TMemoryDataSet data({Def("AJCI_ID"), Def("AJCI_PORC"), Def("LEIDO"), Def("CALCULADO"),
                       Def("LIBRE"), Def("AJCI_FACTOR")});
  data.Open();
  for (const char* name : {"AJCI_ID", "AJCI_PORC", "LEIDO", "CALCULADO", "AJCI_FACTOR"}) {
    data.FieldByName(name).SetRequired(true);
  }
  data.FieldByName("AJCI_ID").SetDisplayLabel("Id");  // the FieldName is named, not the label
  data.FieldByName("LEIDO").SetReadOnly(true);
  data.FieldByName("CALCULADO").SetFieldKind(TFieldKind::fkInternalCalc);
  data.Insert();
  EXPECT_EQ(RequiredNullFieldNames(data), "AJCI_ID, AJCI_PORC, LEIDO, CALCULADO, AJCI_FACTOR, ");
  data.FieldByName("AJCI_PORC").SetAsInteger(19);
  data.FieldByName("AJCI_FACTOR").SetAsInteger(0);
  EXPECT_EQ(RequiredNullFieldNames(data), "AJCI_ID, LEIDO, CALCULADO, ");
  data.FieldByName("AJCI_ID").SetAsInteger(1);
  data.FieldByName("LEIDO").SetRequired(false);
  data.FieldByName("CALCULADO").SetRequired(false);
  EXPECT_EQ(RequiredNullFieldNames(data), "");
}

}  // namespace
