// Program start: the application title, the regional settings, the one window, the event loop.
#include <QApplication>

#include "app/app_title.h"
#include "app/posting_form.h"
#include "app/qt_ui_services.h"
#include "app/system_format_settings.h"
#include "app/termination_signals.h"
#include "db/sql/sql_connection.h"

int main(int argc, char* argv[]) {
  BlockTerminationSignals();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
  QtUiServices ui;
  TPostingForm window(ui, ReadSystemFormatSettings());
  const TerminationSignals signals_([&window]() noexcept {
    try {
      window.Talvora().Close();
    } catch (...) {
      // Ending anyway: the database discards what was not committed.
    }
  });
  window.show();
  return QApplication::exec();
}
