// The production boxes: what the error dialog and the default display's box look like, and the
// mouse capture released before the latter. Each box is inspected and closed once it is shown.
#include "app/qt_ui_services.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/app_title.h"

namespace {

// Runs `show`; once its modal box is up, `inspect` gets it and the box is closed with Esc.
void InspectBox(const std::function<void()>& show,
                const std::function<void(QMessageBox&)>& inspect) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen = true;
    inspect(*box);
    QTest::keyClick(box, Qt::Key_Escape);
  });
  show();
  EXPECT_TRUE(seen);
}

struct BoxCase {
  const char* what;
  std::function<void(QtUiServices&, const std::string&)> show;
  QString caption;
};

TEST(QtUiServices, ErrorAndFailureBoxesShowPlainWrappedTextWithStopIconAndOneOk) {
  QtUiServices ui;
  const BoxCase cases[] = {
      {"error dialog", [](QtUiServices& u, const std::string& t) { u.ShowErrorDialog(t); },
       "Error"},
      {"failure box", [](QtUiServices& u, const std::string& t) { u.ShowFailureBox(t); },
       QString::fromUtf8(kApplicationTitle)},
  };
  // A server text with markup-like parts stays as it is; lines are kept, and a line too long
  // for the box is wrapped.
  std::string text = "Los campos <b>AJCI_ID</b>,  son obligatorios.\r\nSegunda línea:";
  for (int i = 0; i < 60; ++i) text += " palabra";
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(c.what);
    InspectBox([&] { c.show(ui, text); },
               [&](QMessageBox& box) {
                 EXPECT_EQ(box.windowTitle(), c.caption);
                 EXPECT_EQ(box.icon(), QMessageBox::Critical);
                 EXPECT_EQ(box.textFormat(), Qt::PlainText);
                 EXPECT_EQ(box.text(), QString::fromStdString(text));
                 auto* label = box.findChild<QLabel*>("qt_msgbox_label");
                 ASSERT_NE(label, nullptr);
                 EXPECT_TRUE(label->wordWrap());
                 ASSERT_EQ(box.buttons().size(), 1);
                 QAbstractButton* ok = box.buttons().front();
                 EXPECT_EQ(ok->text().remove('&'), "OK");
                 EXPECT_EQ(box.defaultButton(), ok);
                 EXPECT_EQ(box.escapeButton(), ok);
               });
  }
}

TEST(QtUiServices, TheFailureBoxReleasesTheMouseCaptureFirst) {
  QWidget dragged;
  dragged.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dragged));
  dragged.grabMouse();
  ASSERT_EQ(QWidget::mouseGrabber(), &dragged);
  QtUiServices ui;
  InspectBox([&] { ui.ShowFailureBox("falla."); },
             [](QMessageBox&) { EXPECT_EQ(QWidget::mouseGrabber(), nullptr); });
}

}  // namespace
