// Focus order with Enter and Tab, the command keys with and without modifiers, the leave
// handler of the company and prefix fields, closing, and handler failures.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "app/bevel_panel.h"
#include "base/exceptions.h"
#include "datamodule/posting_data_module.h"
#include "posting_form_fixture.h"

namespace {

struct FocusCase {
  const char* from;
  Qt::Key key;
  const char* to;
};

// clang-format off
const FocusCase kFocusMoves[] = {
  {"Servidor", Qt::Key_Return, "Tusua"},   {"Servidor", Qt::Key_Tab, "Tusua"},
  {"Tusua",    Qt::Key_Return, "TClave"},  {"Tusua",    Qt::Key_Tab, "TClave"},
  {"TClave",   Qt::Key_Return, "Cia"},     {"TClave",   Qt::Key_Tab, "Cia"},
  {"Cia",      Qt::Key_Return, "EFecIni"}, {"Cia",      Qt::Key_Tab, "EFecIni"},
  {"EFecIni",  Qt::Key_Return, "EFecFin"}, {"EFecIni",  Qt::Key_Tab, "EFecFin"},
  {"EFecFin",  Qt::Key_Return, "Pref"},    {"EFecFin",  Qt::Key_Tab, "Pref"},
  {"Pref",     Qt::Key_Return, "Pref"},    {"Pref",     Qt::Key_Tab, "Servidor"},
  {"Tusua",    Qt::Key_Enter,  "TClave"},
};
// clang-format on

TEST_F(PostingFormTest, StartsWithTheFocusOnTheServerList) {
  InstallDefault();
  Open();
  EXPECT_EQ(FocusedControl(), "Servidor");
}

TEST_F(PostingFormTest, EnterAndTabMoveTheFocusAlongTheOrder) {
  InstallDefault();
  TPostingForm& form = Open();
  for (const FocusCase& c : kFocusMoves) {
    SCOPED_TRACE(std::string(c.from) + (c.key == Qt::Key_Tab ? " Tab" : " Enter"));
    form.Control(c.from)->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(FocusedControl(), c.from);
    PressKey(c.key);
    EXPECT_EQ(FocusedControl(), c.to);
  }
  EXPECT_TRUE(ui_.calls.empty());
}

TEST_F(PostingFormTest, EnterDoesNotReachTheControlButOtherKeysDo) {
  InstallDefault();
  TPostingForm& form = Open();
  form.Tusua()->setFocus(Qt::OtherFocusReason);
  PressKey(Qt::Key_A);
  PressKey(Qt::Key_B);
  EXPECT_EQ(form.Tusua()->text(), "ab");
  int returns = 0;
  QObject::connect(form.Pref(), &QLineEdit::returnPressed, [&] { ++returns; });
  QObject::connect(form.Tusua(), &QLineEdit::returnPressed, [&] { ++returns; });
  form.Pref()->setFocus(Qt::OtherFocusReason);
  PressKey(Qt::Key_Return);  // no Enter handler on the prefix: the edit gets it
  EXPECT_EQ(returns, 1);
  form.Tusua()->setFocus(Qt::OtherFocusReason);
  PressKey(Qt::Key_Return);  // swallowed by the Enter handler
  EXPECT_EQ(returns, 1);
}

TEST_F(PostingFormTest, CtrlEnterAndAltEnterDoNotMoveTheFocus) {
  InstallDefault();
  TPostingForm& form = Open();
  for (Qt::KeyboardModifier modifier : {Qt::ControlModifier, Qt::AltModifier}) {
    form.Tusua()->setFocus(Qt::OtherFocusReason);
    PressKey(Qt::Key_Return, modifier);
    EXPECT_EQ(FocusedControl(), "Tusua");
  }
  PressKey(Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(FocusedControl(), "TClave");
}

struct CommandCase {
  const char* what;
  const char* focus;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  bool editor_visible;
  std::vector<std::string> handlers;
  bool closes;
};

const std::vector<CommandCase> kCommands = {
    {"F2", "Tusua", Qt::Key_F2, Qt::NoModifier, false, {"SpeedButton3Click"}, false},
    {"F2 in a date picker",
     "EFecFin",
     Qt::Key_F2,
     Qt::NoModifier,
     false,
     {"SpeedButton3Click"},
     false},
    {"F2 with the editor open",
     "Pref",
     Qt::Key_F2,
     Qt::NoModifier,
     true,
     {"AdjustmentF2PreStep", "SpeedButton3Click"},
     false},
    {"F5", "Servidor", Qt::Key_F5, Qt::NoModifier, false, {"AdjustmentF5Command"}, false},
    {"F5 with the editor open",
     "TClave",
     Qt::Key_F5,
     Qt::NoModifier,
     true,
     {"AdjustmentF5Command"},
     false},
    {"Esc", "Cia", Qt::Key_Escape, Qt::NoModifier, false, {}, true},
    {"Esc in a date picker", "EFecIni", Qt::Key_Escape, Qt::NoModifier, false, {}, true},
    {"Esc with the editor open", "Tusua", Qt::Key_Escape, Qt::NoModifier, true, {}, true},
    {"Shift+F2", "Tusua", Qt::Key_F2, Qt::ShiftModifier, false, {}, false},
    {"Ctrl+F2", "Tusua", Qt::Key_F2, Qt::ControlModifier, false, {}, false},
    {"Alt+F2", "Tusua", Qt::Key_F2, Qt::AltModifier, false, {}, false},
    {"Shift+F5", "Tusua", Qt::Key_F5, Qt::ShiftModifier, false, {}, false},
    {"Ctrl+F5", "Tusua", Qt::Key_F5, Qt::ControlModifier, false, {}, false},
    {"Alt+F5", "Tusua", Qt::Key_F5, Qt::AltModifier, false, {}, false},
    {"Shift+Esc", "Tusua", Qt::Key_Escape, Qt::ShiftModifier, false, {}, false},
    {"Ctrl+Esc", "Tusua", Qt::Key_Escape, Qt::ControlModifier, false, {}, false},
    {"Alt+Esc", "Tusua", Qt::Key_Escape, Qt::AltModifier, false, {}, false},
    {"F3", "Tusua", Qt::Key_F3, Qt::NoModifier, false, {}, false},
};

TEST_F(PostingFormTest, CommandKeysRunTheirHandlersOnlyWithoutModifiers) {
  InstallDefault();
  for (const CommandCase& c : kCommands) {
    SCOPED_TRACE(c.what);
    RecordingPostingForm& form = Open();
    if (c.editor_visible) form.AdvPanel1()->show();
    form.Control(c.focus)->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(FocusedControl(), c.focus);
    PressKey(c.key, c.modifiers);
    EXPECT_EQ(form.handlers, c.handlers);
    EXPECT_EQ(form.isVisible(), !c.closes);
    EXPECT_TRUE(ui_.calls.empty());
  }
}

// Counts the key presses that reach one control.
class KeyCounter : public QObject {
 public:
  int presses = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) ++presses;
    return false;
  }
};

TEST_F(PostingFormTest, CommandKeysStillReachTheFocusedControl) {
  InstallDefault();
  RecordingPostingForm& form = Open();
  KeyCounter counter;
  form.Tusua()->installEventFilter(&counter);
  form.Tusua()->setFocus(Qt::OtherFocusReason);
  PressKey(Qt::Key_F2);
  PressKey(Qt::Key_F5);
  EXPECT_EQ(counter.presses, 2);
  EXPECT_EQ(form.handlers, (std::vector<std::string>{"SpeedButton3Click", "AdjustmentF5Command"}));
}

TEST_F(PostingFormTest, LeavingTheCompanyOrPrefixFieldRunsTheConnectHandler) {
  InstallDefault();
  RecordingPostingForm& form = Open();
  form.Cia()->setFocus(Qt::OtherFocusReason);
  PressKey(Qt::Key_Return);
  EXPECT_EQ(form.handlers, std::vector<std::string>{"CiaExit"});
  form.Pref()->setFocus(Qt::OtherFocusReason);
  PressKey(Qt::Key_Return);  // stays in the field: no leave
  EXPECT_EQ(form.handlers.size(), 1u);
  PressKey(Qt::Key_Tab);
  EXPECT_EQ(form.handlers, (std::vector<std::string>{"CiaExit", "CiaExit"}));
  form.Tusua()->setFocus(Qt::OtherFocusReason);
  PressKey(Qt::Key_Tab);  // leaving the user field connects nothing
  PressKey(Qt::Key_F2);   // the focus stays in the field on a command key
  EXPECT_EQ(form.handlers, (std::vector<std::string>{"CiaExit", "CiaExit", "SpeedButton3Click"}));
  form.handlers.clear();
  form.Cia()->setFocus(Qt::OtherFocusReason);
  QTest::mouseClick(form.Tusua(), Qt::LeftButton);  // a click elsewhere leaves the field
  QCoreApplication::processEvents();
  EXPECT_EQ(FocusedControl(), "Tusua");
  EXPECT_EQ(form.handlers, std::vector<std::string>{"CiaExit"});
  form.Pref()->setFocus(Qt::OtherFocusReason);
  PressKey(Qt::Key_Escape);  // closing does not leave the field
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.handlers, std::vector<std::string>{"CiaExit"});
}

TEST_F(PostingFormTest, ButtonsCloseOrPostOnlyWhenEnabled) {
  InstallDefault();
  RecordingPostingForm& form = Open();
  QTest::mouseClick(form.SpeedButton3(), Qt::LeftButton);
  EXPECT_TRUE(form.handlers.empty());  // disabled: the click does nothing
  form.SpeedButton3()->setEnabled(true);
  QTest::mouseClick(form.SpeedButton3(), Qt::LeftButton);
  EXPECT_EQ(form.handlers, std::vector<std::string>{"SpeedButton3Click"});
  EXPECT_TRUE(form.isVisible());
  QTest::mouseClick(form.SpeedButton2(), Qt::LeftButton);
  EXPECT_FALSE(form.isVisible());
}

TEST_F(PostingFormTest, AFailingHandlerIsShownAndLeavesItsStateBehind) {
  InstallDefault();
  RecordingPostingForm& form = Open();
  form.on_posting_run = [&form] {
    form.ShowBanner("Generando informe. espere un momento...");
    throw EDatabaseError("SQL Server Error: table unknown");
  };
  PressKey(Qt::Key_F2);
  EXPECT_EQ(ui_.Texts("failure"), std::vector<std::string>{"SQL Server Error: table unknown."});
  EXPECT_TRUE(form.BannerVisible());
  EXPECT_TRUE(form.isVisible());
  form.on_posting_run = [] { Abort(); };
  PressKey(Qt::Key_F2);
  EXPECT_EQ(ui_.Texts("failure").size(), 1u);  // the silent abort shows nothing
}

TEST_F(PostingFormTest, BannerShowsRepaintsHidesAndTakesCaptions) {
  InstallDefault();
  TPostingForm& form = Open();
  form.ShowBanner("Conectando a la base de datos 01 ...");
  EXPECT_TRUE(form.BannerVisible());
  EXPECT_EQ(form.BannerCaption(), "Conectando a la base de datos 01 ...");
  EXPECT_EQ(ui_.calls, (std::vector<UiCall>{{"repaint", ""}}));
  form.SetBannerCaption("Advertencia");
  EXPECT_TRUE(form.BannerVisible());
  EXPECT_EQ(form.BannerCaption(), "Advertencia");
  form.HideBanner();
  EXPECT_FALSE(form.BannerVisible());
  form.SetBannerCaption("Otra");
  EXPECT_FALSE(form.BannerVisible());
  EXPECT_EQ(ui_.calls.size(), 1u);  // only showing repaints at once
}

}  // namespace
