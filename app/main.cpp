// Program start: the application title, the regional settings, the one window, the event loop.
#include <QApplication>

#include "app/app_title.h"
#include "app/posting_form.h"
#include "app/qt_ui_services.h"
#include "app/system_format_settings.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
  QtUiServices ui;
  TPostingForm window(ui, ReadSystemFormatSettings());
  window.show();
  return QApplication::exec();
}
