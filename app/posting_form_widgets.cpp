// Building the window's widgets from its definition: kinds, fonts, bounds scaled to the
// screen, the focus order, and the placing of the aligned panels.
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "adjust/adjustment_grid.h"
#include "adjust/adjustment_panel.h"
#include "app/bevel_panel.h"
#include "app/button_pictures.h"
#include "app/date_picker.h"
#include "app/posting_form.h"
#include "app/posting_form_definition.h"
#include "app/system_format_settings.h"
#include "datamodule/posting_data_module.h"

namespace {

QFont FontFor(ControlFont role, double scale) {
  QFont font;
  switch (role) {
    case ControlFont::kWindow:
    case ControlFont::kBanner:
      font.setFamilies({"Liberation Sans", "DejaVu Sans"});
      break;
    case ControlFont::kNarrow:
      font.setFamilies({"Liberation Sans Narrow", "DejaVu Sans Condensed"});
      break;
  }
  const int pixels = role == ControlFont::kBanner ? 13 : 11;
  font.setPixelSize(static_cast<int>(std::lround(pixels * scale)));
  return font;
}

QPixmap PictureFor(ButtonPicture picture) {
  return picture == ButtonPicture::kRun ? RunPicture() : CancelPicture();
}

}  // namespace

int TPostingForm::Scaled(int pixels) const {
  return static_cast<int>(std::lround(pixels * scale_));
}

void TPostingForm::BuildControls() {
  scale_ = logicalDpiY() / 96.0;
  setFont(FontFor(ControlFont::kWindow, scale_));
  for (const ControlDefinition& definition : PostingFormControls()) {
    QWidget* parent = definition.parent ? controls_.at(definition.parent) : this;
    QWidget* control = CreateControl(definition, parent);
    control->setObjectName(definition.name);
    control->setFont(FontFor(definition.font, scale_));
    if (definition.align == ControlAlign::kNone) {
      control->move(Scaled(definition.left), Scaled(definition.top));
      if (definition.width > 0 && definition.height > 0) {
        control->resize(Scaled(definition.width), Scaled(definition.height));
      } else {
        control->adjustSize();
      }
    }
    if (definition.flags & kDisabled) control->setEnabled(false);
    if (definition.flags & kHidden) control->hide();
    controls_[definition.name] = control;
    definitions_[control] = &definition;
  }
}

QWidget* TPostingForm::CreateControl(const ControlDefinition& d, QWidget* parent) {
  const QString text = QString::fromUtf8(d.text);
  switch (d.kind) {
    case ControlKind::kPanel:
    case ControlKind::kCaptionedPanel: {
      auto* panel = new BevelPanel(parent);
      panel->SetCaption(text);
      return panel;
    }
    case ControlKind::kBannerPanel: {
      auto* panel = new BevelPanel(parent);
      panel->SetCaption(text);
      panel->SetLoweredInnerBevel(true);
      QPalette palette = panel->palette();
      palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
      panel->setPalette(palette);
      return panel;
    }
    case ControlKind::kLabel: {
      auto* label = new QLabel(text, parent);
      label->setWordWrap(d.flags & kWordWrap);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case ControlKind::kGroupBox: {
      // An etched frame whose top line runs through the middle of the caption, the caption
      // set in from the left; the controls keep their places measured from the box's top.
      auto* box = new QGroupBox(text, parent);
      box->setStyleSheet(QString("QGroupBox { border: 2px groove palette(mid); margin-top: %1px; }"
                                 "QGroupBox::title { subcontrol-origin: margin; left: %2px;"
                                 " padding: 0px 1px; }")
                             .arg(Scaled(6))
                             .arg(Scaled(7)));
      return box;
    }
    case ControlKind::kDropDownList: {
      auto* list = new QComboBox(parent);
      list->setEditable(false);
      return list;
    }
    case ControlKind::kEdit:
    case ControlKind::kPasswordEdit: {
      auto* edit = new QLineEdit(text, parent);
      edit->setFrame(!(d.flags & kFlat));
      if (d.kind == ControlKind::kPasswordEdit) {
        edit->setStyle(password_style_.get());
        edit->setEchoMode(QLineEdit::Password);
      }
      return edit;
    }
    case ControlKind::kDatePicker: {
      const FormDefinition& form = PostingFormDefinition();
      auto* picker = new DatePicker(parent);
      picker->setCalendarPopup(true);
      picker->setDisplayFormat(QtShortDateFormat(format_settings_));
      picker->setDate(QDate(form.initial_year, form.initial_month, form.initial_day));
      return picker;
    }
    case ControlKind::kSpeedButton: {
      auto* button = new QToolButton(parent);
      button->setText(text);
      button->setIcon(QIcon(PictureFor(d.picture)));
      button->setIconSize(QSize(Scaled(kButtonPictureWidth), Scaled(kButtonPictureHeight)));
      button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
      button->setAutoRaise(true);
      button->setFocusPolicy(Qt::NoFocus);
      const Handler handler = d.on_click;
      connect(button, &QToolButton::clicked, this, [this, handler] { RunBound(handler); });
      return button;
    }
  }
  return new QWidget(parent);
}

// The tab order of the definition, depth first: siblings by their tab order, a container's
// controls where the container stands.
void TPostingForm::BuildFocusOrder() {
  std::vector<QWidget*> chain;
  auto visit = [&](auto& self, const char* parent) -> void {
    std::vector<const ControlDefinition*> children;
    for (const ControlDefinition& d : PostingFormControls()) {
      const bool same_parent =
          parent ? (d.parent && std::string(d.parent) == parent) : d.parent == nullptr;
      if (same_parent && d.tab_order >= 0) children.push_back(&d);
    }
    std::stable_sort(children.begin(), children.end(),
                     [](auto* a, auto* b) { return a->tab_order < b->tab_order; });
    for (const ControlDefinition* d : children) {
      QWidget* w = controls_.at(d->name);
      if (w->focusPolicy() & Qt::TabFocus) chain.push_back(w);
      self(self, d->name);
    }
  };
  visit(visit, nullptr);
  for (std::size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void TPostingForm::BuildAdjustmentEditor() {
  adjustment_panel_ = new AdjustmentPanel(data_->DAjuste(), ui_, format_settings_, AdvPanel1());
  QWidget::setTabOrder(Pref(), adjustment_panel_->Grid());
}

// Top-aligned controls stack from the top in definition order, bottom-aligned ones from the
// bottom, and a client-aligned one fills what is left.
void TPostingForm::PlaceAlignedControls() {
  int top = 0;
  int bottom = height();
  for (const ControlDefinition& d : PostingFormControls()) {
    if (d.parent != nullptr) continue;
    QWidget* w = controls_.at(d.name);
    if (d.align == ControlAlign::kTop) {
      w->setGeometry(0, top, width(), Scaled(d.height));
      top += Scaled(d.height);
    } else if (d.align == ControlAlign::kBottom) {
      bottom -= Scaled(d.height);
      w->setGeometry(0, bottom, width(), Scaled(d.height));
    }
  }
  for (const ControlDefinition& d : PostingFormControls()) {
    if (d.parent == nullptr && d.align == ControlAlign::kClient) {
      controls_.at(d.name)->setGeometry(0, top, width(), std::max(0, bottom - top));
    }
  }
}

void TPostingForm::CentreOnDesktop() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const FormDefinition& form = PostingFormDefinition();
  const QRect desktop = screen->geometry();
  move(desktop.x() + (desktop.width() - Scaled(form.outer_width)) / 2,
       desktop.y() + (desktop.height() - Scaled(form.outer_height)) / 2);
}
