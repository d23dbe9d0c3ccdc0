#include "config/installation_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QSettings>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "base/exceptions.h"

namespace {

namespace fs = std::filesystem;

// Each case gets its own system settings folder (XDG_CONFIG_DIRS), holding the settings file
// KVN/TalvoraSuite.conf with the given content, or none.
struct LookupCase {
  const char* what;
  std::optional<std::string> settings_file;  // nullopt: no settings file
  std::string directory;                     // expected result
  std::vector<std::string> boxes;            // expected information boxes
  const char* failure;                       // expected failure text, or nullptr
};

// Names the case in test listings (instead of its raw bytes).
void PrintTo(const LookupCase& c, std::ostream* os) {
  *os << c.what;
}

class InstallationDirLookup : public testing::TestWithParam<LookupCase> {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/suite-settings-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    setenv("XDG_CONFIG_DIRS", dir_.c_str(), 1);
    // The settings store remembers its folders; point it at this case's folder.
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, dir_.c_str());
    if (GetParam().settings_file) {
      fs::create_directories(dir_ / "KVN");
      std::ofstream(dir_ / "KVN" / "TalvoraSuite.conf") << *GetParam().settings_file;
    }
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_P(InstallationDirLookup, GivesDirectoryBoxesAndFailures) {
  const LookupCase& c = GetParam();
  std::vector<std::string> boxes;
  std::string directory = "unset";
  std::string failure;
  try {
    directory = diraplicacion([&](const std::string& text) { boxes.push_back(text); });
  } catch (const Exception& e) {
    failure = e.Message();
  }
  EXPECT_EQ(boxes, c.boxes) << c.what;
  if (c.failure) {
    EXPECT_EQ(failure, c.failure) << c.what;
  } else {
    EXPECT_EQ(failure, "") << c.what;
    EXPECT_EQ(directory, c.directory) << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstallationDirLookup,
    testing::Values(
        LookupCase{"no settings file",
                   std::nullopt,
                   "",
                   {"No se encontró la Clave "
                    "HKEY_LOCAL_MACHINE\\Software\\KVN\\TalvoraSuite\\Directorio"},
                   nullptr},
        LookupCase{"plain value", "[General]\nDirectorio=/srv/suite\n", "/srv/suite", {}, nullptr},
        LookupCase{"value with blanks and accents",
                   "[General]\nDirectorio=/srv/Compañía A\n",
                   "/srv/Compañía A",
                   {},
                   nullptr},
        LookupCase{"empty value", "[General]\nDirectorio=\n", "", {}, nullptr},
        LookupCase{"value absent", "[General]\nOtro=/x\n", "", {}, nullptr},
        LookupCase{"empty settings file", "", "", {}, nullptr},
        LookupCase{"a list value",
                   "[General]\nDirectorio=a, b\n",
                   "",
                   {},
                   "Invalid data type for 'Directorio'"},
        LookupCase{"a byte array value",
                   "[General]\nDirectorio=@ByteArray(/srv)\n",
                   "",
                   {},
                   "Invalid data type for 'Directorio'"}));

}  // namespace
