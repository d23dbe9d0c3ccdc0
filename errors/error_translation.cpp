#include "errors/error_translation.h"

#include "data/provider/dataset_provider.h"
#include "db/dataset/dataset.h"

namespace {

// Whether the stretch of `text` from 1-based position `from` is exactly `expected`.
bool StretchIs(std::string_view text, std::size_t from, std::string_view expected) {
  return text.size() >= from - 1 + expected.size() &&
         text.substr(from - 1, expected.size()) == expected;
}

bool Holds(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The text between the first double quote at or after `from` and the next one; empty without two.
std::string FirstQuoted(std::string_view text, std::size_t from = 0) {
  const std::size_t open = text.find('"', from);
  if (open == std::string_view::npos) return {};
  const std::size_t close = text.find('"', open + 1);
  if (close == std::string_view::npos) return {};
  return std::string(text.substr(open + 1, close - open - 1));
}

// Where "for file" stands in an I/O error of the server, or npos when the message holds none.
// Older servers write `I/O error for file "x"`; Firebird names the operation in between,
// `I/O error during "open" operation for file "x"`, and the file is the quoted text after it.
std::size_t FileOfIOError(std::string_view text) {
  const std::size_t error = text.find("I/O error ");
  if (error == std::string_view::npos) return error;
  return text.find("for file", error);
}

}  // namespace

std::string TranslateProviderError(std::string_view message, std::string_view table) {
  // Past the prefix "SQL Server Error: " that the connection layer puts before a server's text.
  constexpr std::size_t kServerText = 19;
  if (StretchIs(message, kServerText, "violation of PRIMARY")) {
    return "Ya existe el registro en la tabla " + std::string(table);
  }
  if (StretchIs(message, kServerText, "violation of FOREIGN")) {
    return "Está borrando o insertando un registro en la tabla " + std::string(table) +
           " que tiene una relación con otra tabla.";
  }
  return std::string(message);
}

std::string ProviderTableName(const TComponent* sender) {
  const auto* provider = dynamic_cast<const TDataSetProvider*>(sender);
  if (!provider || !provider->DataSet()) return {};
  const std::string& name = provider->DataSet()->Name();
  return name.empty() ? std::string() : name.substr(1);
}

std::string TranslateCachedDataSetError(std::string_view message,
                                        std::string_view requiredNullFields,
                                        std::string_view indexFields) {
  if (StretchIs(message, 1, "Cannot delete master record wi")) {
    return "Error. Borre antes los detalles dependientes del registro.";
  }
  if (StretchIs(message, 1, "Fie")) {
    return "Los campos " + std::string(requiredNullFields) + " son obligatorios.";
  }
  if (StretchIs(message, 1, "key")) {
    return "Ya existe un registro con el mismo " + std::string(indexFields);
  }
  return std::string(message);
}

std::string RequiredNullFieldNames(const TDataSet& dataSet) {
  std::string names;
  for (int i = 0; i < dataSet.FieldCount(); ++i) {
    const TField& field = dataSet.Fields(i);
    if (field.Required() && field.IsNull()) names += field.FieldName() + ", ";
  }
  return names;
}

std::string TranslateUnhandledError(std::string_view message) {
  const std::string general = "Se presento el siguiente error: " + std::string(message);
  if (!StretchIs(message, 1, "dbExpress")) return general;
  if (Holds(message, "Your user name and password are not defined")) {
    return "El nombre de Usuario o la clave son incorrectas.";
  }
  if (const std::size_t file = FileOfIOError(message); file != std::string_view::npos) {
    return "No se encontró el archivo o la ruta " + FirstQuoted(message, file);
  }
  if (Holds(message, "Unable to complete network request")) {
    return "No se encontró el equipo servidor con nombre " + FirstQuoted(message);
  }
  if (Holds(message, "Connection failed")) {
    return "No se encontró el servidor Interbase/Firebird. Verifique Servidor en panel de "
           "control y puerto TCP 3050.";
  }
  return general;
}
