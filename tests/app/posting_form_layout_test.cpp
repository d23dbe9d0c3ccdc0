// The window as built: every control with its kind, parent, bounds, text and initial state,
// the stacking, the fonts, the button pictures, and a picture of the whole window.
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

#include "app/bevel_panel.h"
#include "app/button_pictures.h"
#include "posting_form_fixture.h"

namespace {

struct ControlCase {
  const char* name;
  const char* kind;  // class the control must be
  const char* parent;
  QRect bounds;  // at 96 dpi; labels that fit their text: width and height -1
  const char* text;
  bool visible;
  bool enabled;
};

// clang-format off
const ControlCase kControls[] = {
  {"Panel2",       "BevelPanel",  "PostingForm", {0, 0, 346, 57},      "",              true,  true},
  {"Label2",       "QLabel",      "Panel2",      {16, 6, 333, 49},     "Este programa genera la contabilización de las ventas diarias de un punto de venta y con el prefijo especificado.", true, true},
  {"GroupBox1",    "QGroupBox",   "PostingForm", {0, 57, 346, 105},    "Origen:",       true,  true},
  {"Label5",       "QLabel",      "GroupBox1",   {16, 16, -1, -1},     "Servidor : ",   true,  true},
  {"Servidor",     "QComboBox",   "GroupBox1",   {76, 8, 120, 21},     "",              true,  true},
  {"Label8",       "QLabel",      "GroupBox1",   {16, 40, -1, -1},     "Usuario : ",    true,  true},
  {"Tusua",        "QLineEdit",   "GroupBox1",   {76, 32, 97, 21},     "",              true,  true},
  {"Label9",       "QLabel",      "GroupBox1",   {17, 64, -1, -1},     "Clave : ",      true,  true},
  {"TClave",       "QLineEdit",   "GroupBox1",   {76, 56, 97, 21},     "",              true,  true},
  {"Label6",       "QLabel",      "GroupBox1",   {17, 88, -1, -1},     "Compañía:",     true,  true},
  {"Cia",          "QLineEdit",   "GroupBox1",   {76, 80, 45, 21},     "",              true,  true},
  {"GroupBox2",    "QGroupBox",   "PostingForm", {0, 162, 346, 69},    "Parámetros ",   true,  true},
  {"Label4",       "QLabel",      "GroupBox2",   {8, 24, -1, -1},      "Desde:",        true,  true},
  {"EFecIni",      "QDateEdit",   "GroupBox2",   {45, 16, 89, 21},     "",              true,  true},
  {"Label10",      "QLabel",      "GroupBox2",   {136, 23, -1, -1},    "Hasta:",        true,  true},
  {"EFecFin",      "QDateEdit",   "GroupBox2",   {173, 15, 89, 21},    "",              true,  true},
  {"Label11",      "QLabel",      "GroupBox2",   {136, 48, -1, -1},    "Prefijo:",      true,  true},
  {"Pref",         "QLineEdit",   "GroupBox2",   {173, 42, 49, 21},    "",              true,  true},
  {"Panel1",       "BevelPanel",  "PostingForm", {0, 231, 346, 53},    "",              true,  true},
  {"SpeedButton3", "QToolButton", "Panel1",      {37, 2, 65, 50},      "F2: Ejecutar",  true,  false},
  {"SpeedButton2", "QToolButton", "Panel1",      {205, 2, 65, 50},     "Esc: Cancelar", true,  true},
  {"Label7",       "QLabel",      "Panel1",      {275, 1, 67, 15},     "Rev:2023/03/30",true,  true},
  {"Panel5",       "BevelPanel",  "PostingForm", {8, 66, 337, 41},     "Generando informe. espere un momento...", false, true},
  {"AdvPanel1",    "BevelPanel",  "PostingForm", {24, 72, 305, 169},   "",              false, true},
};
// clang-format on

QString TextOf(QWidget* w) {
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
  if (auto* box = qobject_cast<QGroupBox*>(w)) return box->title();
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
  if (auto* button = qobject_cast<QToolButton*>(w)) return button->text();
  if (auto* panel = qobject_cast<BevelPanel*>(w)) return panel->Caption();
  return "";
}

// Bounds are stated at 96 dpi, the resolution the offscreen test platform reports; the window
// must then place every control exactly where the layout says.
void ExpectDesignResolution(const QWidget& w) {
  ASSERT_EQ(w.logicalDpiY(), 96) << "the literal bounds below hold at 96 dpi only";
}

TEST_F(PostingFormTest, EveryControlHasItsKindParentBoundsTextAndState) {
  InstallDefault();
  TPostingForm& form = Open();
  ExpectDesignResolution(form);
  for (const ControlCase& c : kControls) {
    SCOPED_TRACE(c.name);
    QWidget* w = form.Control(c.name);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->objectName(), c.name);
    EXPECT_TRUE(w->inherits(c.kind)) << w->metaObject()->className();
    EXPECT_EQ(w->parentWidget()->objectName(), c.parent);
    if (c.bounds.width() < 0) {
      EXPECT_EQ(w->pos(), c.bounds.topLeft());
      EXPECT_EQ(w->size(), w->sizeHint());
    } else {
      EXPECT_EQ(w->geometry(), c.bounds);
    }
    EXPECT_EQ(TextOf(w), QString::fromUtf8(c.text));
    EXPECT_EQ(w->isVisible(), c.visible);
    EXPECT_EQ(w->isEnabled(), c.enabled);
  }
}

TEST_F(PostingFormTest, WindowCaptionSizeDatesAndPassword) {
  InstallDefault();
  TPostingForm& form = Open();
  EXPECT_EQ(form.windowTitle(), "Contabilizar ventas de contado");
  ExpectDesignResolution(form);
  EXPECT_EQ(form.size(), QSize(346, 284));
  for (Qt::WindowType hint : {Qt::WindowSystemMenuHint, Qt::WindowMinimizeButtonHint,
                              Qt::WindowMaximizeButtonHint}) {
    EXPECT_TRUE(form.windowFlags().testFlag(hint)) << hint;
  }
  for (QDateEdit* picker : {form.EFecIni(), form.EFecFin()}) {
    EXPECT_EQ(picker->date(), QDate(2003, 1, 20));
    EXPECT_TRUE(picker->calendarPopup());
    EXPECT_EQ(picker->text(), "20/01/2003");
  }
  EXPECT_EQ(form.TClave()->echoMode(), QLineEdit::Password);
  EXPECT_EQ(form.TClave()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                              form.TClave()),
            '*');
  form.TClave()->setText("clave");
  EXPECT_EQ(form.TClave()->displayText(), "*****");
  EXPECT_EQ(form.TClave()->text(), "clave");
  EXPECT_FALSE(form.Servidor()->isEditable());
}

// Sizeable: the window takes a new size, the description and origin groups stay on top, the
// button panel on the bottom, and the parameters group fills what lies between.
TEST_F(PostingFormTest, ResizingKeepsTheAlignedPanelsInPlace) {
  InstallDefault();
  TPostingForm& form = Open();
  ExpectDesignResolution(form);
  form.resize(500, 400);
  QCoreApplication::processEvents();
  ASSERT_EQ(form.size(), QSize(500, 400));
  EXPECT_EQ(form.Control("Panel2")->geometry(), QRect(0, 0, 500, 57));
  EXPECT_EQ(form.Control("GroupBox1")->geometry(), QRect(0, 57, 500, 105));
  EXPECT_EQ(form.Control("GroupBox2")->geometry(), QRect(0, 162, 500, 185));
  EXPECT_EQ(form.Control("Panel1")->geometry(), QRect(0, 347, 500, 53));
  // Controls inside the groups keep their places.
  EXPECT_EQ(form.Pref()->geometry(), QRect(173, 42, 49, 21));
}

TEST_F(PostingFormTest, BannerLiesInFrontOfTheOriginGroupAndTheEditorInFrontOfAll) {
  InstallDefault();
  TPostingForm& form = Open();
  const QObjectList& children = form.children();
  auto index = [&](const char* name) { return children.indexOf(form.Control(name)); };
  EXPECT_GT(index("Panel5"), index("GroupBox1"));
  for (const char* name : {"Panel2", "GroupBox1", "GroupBox2", "Panel1", "Panel5"}) {
    EXPECT_GT(index("AdvPanel1"), index(name)) << name;
  }
  form.ShowBanner("Conectando a la base de datos 01 ...");
  EXPECT_EQ(form.childAt(100, 80), form.Panel5());
}

TEST_F(PostingFormTest, ButtonCaptionsAndRevisionUseTheNarrowFontBannerIsNavy) {
  InstallDefault();
  TPostingForm& form = Open();
  for (const char* name : {"SpeedButton3", "SpeedButton2", "Label7"}) {
    EXPECT_TRUE(form.Control(name)->font().family().contains("Narrow")) << name;
    EXPECT_EQ(form.Control(name)->font().pixelSize(), 11) << name;
  }
  EXPECT_EQ(form.Panel5()->font().pixelSize(), 13);
  EXPECT_EQ(form.Panel5()->palette().color(QPalette::WindowText), QColor(0, 0, 128));
  EXPECT_EQ(form.Tusua()->font().pixelSize(), 11);
  for (QToolButton* b : {form.SpeedButton3(), form.SpeedButton2()}) {
    EXPECT_EQ(b->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
  }
}

struct PictureCase {
  const char* what;
  QPixmap (*draw)();
  bool (*dominant)(const QColor&);
};

TEST(ButtonPictures, HaveTheirSizeTransparentCornersAndColours) {
  const PictureCase cases[] = {
      {"run", RunPicture, [](const QColor& c) { return c.green() > 100 && c.red() < 80; }},
      {"cancel", CancelPicture, [](const QColor& c) { return c.red() > 150 && c.green() < 80; }},
  };
  for (const PictureCase& c : cases) {
    SCOPED_TRACE(c.what);
    const QImage image = c.draw().toImage();
    EXPECT_EQ(image.size(), QSize(46, 32));
    EXPECT_EQ(qAlpha(image.pixel(0, 31)), 0);
    int coloured = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QColor colour = image.pixelColor(x, y);
        if (colour.alpha() == 255 && c.dominant(colour)) ++coloured;
      }
    }
    EXPECT_GT(coloured, 60);
  }
}

// Pixels of `image` inside `area` for which `test` holds.
int CountPixels(const QImage& image, const QRect& area, bool (*test)(const QColor&)) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) count += test(image.pixelColor(x, y));
  }
  return count;
}

bool Green(const QColor& c) { return c.green() > 100 && c.green() > c.red() + 60; }
bool Navy(const QColor& c) { return c.blue() > 80 && c.red() < 60 && c.green() < 60; }

// What the user sees: the F2 picture greyed until the button is enabled, and the banner's navy
// text over the origin group only while the banner is shown. The pictures are kept in the build
// folder for a person to look at.
TEST_F(PostingFormTest, PictureShowsTheGreyedButtonAndTheBanner) {
  InstallDefault();
  TPostingForm& form = Open();
  const QRect button = form.SpeedButton3()->geometry().translated(form.Control("Panel1")->pos());
  const QRect banner = form.Panel5()->geometry();

  const QImage idle = form.grab().toImage();
  ASSERT_TRUE(idle.save(QString(WINDOW_PICTURE_DIR) + "/posting-form.png"));
  EXPECT_EQ(CountPixels(idle, button, Green), 0);
  EXPECT_EQ(CountPixels(idle, banner, Navy), 0);

  form.SpeedButton3()->setEnabled(true);
  form.ShowBanner("Conectando a la base de datos 01 ...");
  const QImage busy = form.grab().toImage();
  ASSERT_TRUE(busy.save(QString(WINDOW_PICTURE_DIR) + "/posting-form-banner.png"));
  EXPECT_GT(CountPixels(busy, button, Green), 60);
  EXPECT_GT(CountPixels(busy, banner, Navy), 20);
}

}  // namespace
