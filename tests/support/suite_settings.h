// SuiteSettings: a private system settings folder for one test, holding (or not) the suite's
// settings file KVN/TalvoraSuite.conf that the installation directory lookup reads. The process's
// settings store is pointed at the folder while the object lives; the folder goes with it.
#pragma once

#include <stdlib.h>

#include <QSettings>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/temp_folder.h"

class SuiteSettings {
 public:
  // No settings file until Write().
  SuiteSettings() : temp_("suite-settings"), folder_(temp_.path()) {
    setenv("XDG_CONFIG_DIRS", folder_.c_str(), 1);
    // The settings store remembers its folders from its first use; point it at this one.
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, folder_.c_str());
  }
  SuiteSettings(const SuiteSettings&) = delete;
  SuiteSettings& operator=(const SuiteSettings&) = delete;

  const std::filesystem::path& Folder() const { return folder_; }

  // Writes the settings file with `content`.
  void Write(const std::string& content) const {
    std::filesystem::create_directories(folder_ / "KVN");
    std::ofstream(folder_ / "KVN" / "TalvoraSuite.conf") << content;
  }
  // Writes a settings file whose Directorio is `directory`.
  void SetDirectorio(const std::string& directory) const {
    Write("[General]\nDirectorio=" + directory + "\n");
  }

 private:
  TempFolder temp_;
  const std::filesystem::path& folder_;
};
