#include "app/qt_ui_services.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QWidget>

#include "app/app_title.h"

namespace {

int RunBox(QMessageBox::Icon icon, const char* caption, const std::string& text,
           QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, QString::fromUtf8(caption), QString::fromStdString(text), buttons,
                  QApplication::activeWindow());
  // Failure texts are shown as they are: a server text with "<" must not turn into markup.
  box.setTextFormat(Qt::PlainText);
  if (buttons == QMessageBox::Ok) {
    // The one button answers both Enter and Esc.
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
  }
  box.setWindowModality(Qt::ApplicationModal);
  return box.exec();
}

}  // namespace

void QtUiServices::ShowInformation(const std::string& text) {
  RunBox(QMessageBox::NoIcon, kApplicationTitle, text, QMessageBox::Ok);
}

void QtUiServices::ShowErrorDialog(const std::string& text) {
  RunBox(QMessageBox::Critical, "Error", text, QMessageBox::Ok);
}

bool QtUiServices::Confirm(const std::string& text) {
  return RunBox(QMessageBox::NoIcon, "Confirm", text, QMessageBox::Ok | QMessageBox::Cancel) ==
         QMessageBox::Ok;
}

void QtUiServices::ShowFailureBox(const std::string& text) {
  // A drag or a pressed button must not stay captured behind the box.
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
  RunBox(QMessageBox::Critical, kApplicationTitle, text, QMessageBox::Ok);
}

void QtUiServices::Beep() {
  QApplication::beep();
}

void QtUiServices::PushWaitCursor() {
  QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void QtUiServices::PopWaitCursor() {
  QApplication::restoreOverrideCursor();
}

void QtUiServices::RepaintNow() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible()) window->repaint();
  }
}
