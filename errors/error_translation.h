// The Spanish sentences the error handler shows in place of the failure texts it recognises.
//
// Each function tries its rules from top to bottom; the first that matches gives the text, and a
// text that matches none is shown unchanged. A rule compares a stretch of the message exactly and
// case-sensitively, so a message shorter than the stretch never matches.
#pragma once

#include <string>
#include <string_view>

class TComponent;
class TDataSet;

// A provider's update error. Server texts start after the 18-character "SQL Server Error: ":
//  - "violation of PRIMARY" there: "Ya existe el registro en la tabla " + `table`;
//  - "violation of FOREIGN" there: "Está borrando o insertando un registro en la tabla " +
//    `table` + " que tiene una relación con otra tabla.".
std::string TranslateProviderError(std::string_view message, std::string_view table);

// The table name a provider's messages use: the Name of the provider's source dataset without
// its first character (TAjuste gives Ajuste). Empty when `sender` is not a provider or has no
// source dataset.
std::string ProviderTableName(const TComponent* sender);

// An edit, post or delete error of a cached dataset:
//  - starting "Cannot delete master record wi": "Error. Borre antes los detalles dependientes
//    del registro.";
//  - starting "Fie": "Los campos " + `requiredNullFields` + " son obligatorios.";
//  - starting "key": "Ya existe un registro con el mismo " + `indexFields`.
std::string TranslateCachedDataSetError(std::string_view message,
                                        std::string_view requiredNullFields,
                                        std::string_view indexFields);

// The FieldName of every field of `dataSet`, in field order, that is Required and null, each
// followed by ", " (the last one too). Read-only and calculated fields count as well.
std::string RequiredNullFieldNames(const TDataSet& dataSet);

// A failure that no event handled, such as a failed connect:
//  - not starting "dbExpress": "Se presento el siguiente error: " + message;
//  - holding "Your user name and password are not defined": "El nombre de Usuario o la clave
//    son incorrectas.";
//  - holding "I/O error " followed by "for file" (older servers write `I/O error for file "x"`,
//    Firebird `I/O error during "open" operation for file "x"`): "No se encontró el archivo o
//    la ruta " + the quoted text after "for file";
//  - holding "Unable to complete network request": "No se encontró el equipo servidor con
//    nombre " + Q;
//  - holding "Connection failed": "No se encontró el servidor Interbase/Firebird. Verifique
//    Servidor en panel de control y puerto TCP 3050.";
//  - otherwise "Se presento el siguiente error: " + message.
// Q is the text between the first two double quotes of the message, empty without two.
std::string TranslateUnhandledError(std::string_view message);
