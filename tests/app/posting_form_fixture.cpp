#include "posting_form_fixture.h"

#include <stdlib.h>

#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QTest>
#include <fstream>

#include "db/sql/sql_connection.h"

namespace fs = std::filesystem;

PostingFormTest::PostingFormTest() {
  char pattern[] = "/tmp/posting-form-XXXXXX";
  root_ = mkdtemp(pattern);
  install_dir_ = root_ / "suite";
  fs::create_directories(install_dir_);
  const fs::path xdg = root_ / "xdg";
  fs::create_directories(xdg);
  setenv("XDG_CONFIG_DIRS", xdg.c_str(), 1);
  // The settings store remembers its folders from its first use; point it at this test's.
  QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, xdg.c_str());
}

PostingFormTest::~PostingFormTest() {
  form_.reset();
  fs::remove_all(root_);
}

void PostingFormTest::Install(const std::optional<std::string>& settingsFile,
                              const std::optional<std::string>& serverList) {
  if (settingsFile) {
    fs::create_directories(root_ / "xdg" / "KVN");
    std::ofstream(root_ / "xdg" / "KVN" / "TalvoraSuite.conf") << *settingsFile;
  }
  if (serverList) {
    std::ofstream(install_dir_ / "SERVIDORES.cfg", std::ios::binary) << *serverList;
  }
}

void PostingFormTest::InstallDefault() {
  Install("[General]\nDirectorio=" + install_dir_.string() + "\n",
          "dbserver:D:/erp\r\nlocalhost:/srv/erp\r\n");
}

RecordingPostingForm& PostingFormTest::Open(const FormatSettings& settings) {
  form_ = std::make_unique<RecordingPostingForm>(ui_, settings, program_commands_);
  form_->show();
  form_->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
  return *form_;
}

RecordingPostingForm& PostingFormTest::OpenConnected(const std::string& serverEntry,
                                                     const FormatSettings& settings,
                                                     const char* password) {
  Install("[General]\nDirectorio=" + install_dir_.string() + "\n", serverEntry + "\r\n");
  RecordingPostingForm& form = Open(settings);
  form.Tusua()->setText("SYSDBA");
  form.TClave()->setText(password);
  form.Cia()->setText("01");
  form.Cia()->setFocus(Qt::OtherFocusReason);
  PressKey(Qt::Key_Return);
  EXPECT_TRUE(form.Talvora().Connected());
  ui_.calls.clear();
  return form;
}

void PostingFormTest::PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : form_.get();
  QTest::keyClick(target, key, modifiers);
  QCoreApplication::processEvents();
}

std::string PostingFormTest::FocusedControl() const {
  for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
    if (!w->objectName().isEmpty() && form_->Control(w->objectName().toStdString()) == w)
      return w->objectName().toStdString();
  }
  return "";
}
