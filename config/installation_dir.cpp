#include "config/installation_dir.h"

#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QVariant>

#include "base/exceptions.h"

namespace {

constexpr const char* kValueName = "Directorio";

bool SettingsKeyExists(const QSettings& settings) {
  if (settings.status() != QSettings::NoError) return false;
  return QFileInfo(settings.fileName()).isFile();
}

}  // namespace

std::string diraplicacion(const ShowInformationBox& showInformation) {
  const QSettings settings(QSettings::SystemScope, "KVN", "TalvoraSuite");
  if (!SettingsKeyExists(settings)) {
    if (showInformation) showInformation(kMissingDirectoryKeyMessage);
    return {};
  }
  const QVariant value = settings.value(kValueName);
  if (!value.isValid()) return {};
  // A list ("a, b"), a byte array or a serialised variant is a value of another type.
  if (value.typeId() != QMetaType::QString) {
    throw Exception(Format("Invalid data type for '%s'", kValueName));
  }
  std::string text = value.toString().toStdString();
  text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
  return text;
}
