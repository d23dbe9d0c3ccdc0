// The installation directory of the business suite: the settings value `Directorio` under
// KVN/TalvoraSuite in the system-wide settings store (on Linux the file
// <first XDG config dir>/KVN/TalvoraSuite.conf, /etc/xdg by default).
//
// The store is read afresh on every call; nothing is cached, so a fixed settings file is seen
// at once and a missing one is reported every time.
#pragma once

#include <functional>
#include <string>

// Shows a plain information box (the application title as caption, one OK button).
using ShowInformationBox = std::function<void(const std::string& text)>;

// The text of the box shown when the settings store holds no such key at all.
inline constexpr const char* kMissingDirectoryKeyMessage =
    "No se encontró la Clave HKEY_LOCAL_MACHINE\\Software\\KVN\\TalvoraSuite\\Directorio";

// Returns the installation directory, or an empty string:
//  - no settings file (or one that cannot be read): `showInformation` gets
//    kMissingDirectoryKeyMessage once, the result is empty;
//  - value absent or empty: empty, no message;
//  - a value that is not a plain text (a list such as "a, b", a byte array, a typed variant):
//    throws Exception "Invalid data type for 'Directorio'".
// A text value is returned up to its first NUL character, as UTF-8.
std::string diraplicacion(const ShowInformationBox& showInformation);
