#include "app/posting_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/bevel_panel.h"
#include "app/button_pictures.h"
#include "app/date_picker.h"
#include "app/password_style.h"
#include "app/posting_form_definition.h"
#include "app/system_format_settings.h"
#include "config/installation_dir.h"
#include "config/server_list.h"
#include "data/client/client_dataset.h"
#include "data/provider/dataset_provider.h"
#include "db/dataset/fields.h"
#include "db/sql/sql_connection.h"
#include "db/sql/sql_dataset.h"
#include "errors/default_error_display.h"

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

bool IsEnterKey(const QKeyEvent& key) {
  return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

std::unique_ptr<TField> NewField(FieldClass fieldClass, TComponent* owner) {
  switch (fieldClass) {
    case FieldClass::kInteger:
      return std::make_unique<TIntegerField>(owner);
    case FieldClass::kDate:
      return std::make_unique<TDateField>(owner);
    case FieldClass::kFMTBCD:
      return std::make_unique<TFMTBCDField>(owner);
  }
  throw std::logic_error("unknown field class");
}

}  // namespace

TPostingForm::TPostingForm(UiServices& ui, const FormatSettings& formatSettings, QWidget* parent)
    : QWidget(parent),
      ui_(ui),
      format_settings_(formatSettings),
      password_style_(std::make_unique<PasswordStyle>()) {
  const FormDefinition& form = PostingFormDefinition();
  components_.SetName(form.name);
  setObjectName(form.name);
  setWindowTitle(QString::fromUtf8(form.caption));
  scale_ = logicalDpiY() / 96.0;
  setFont(FontFor(ControlFont::kWindow, scale_));
  BuildControls();
  BuildFocusOrder();
  CreateComponents();
  resize(Scaled(form.client_width), Scaled(form.client_height));
  PlaceAlignedControls();
  CentreOnDesktop();
  qApp->installEventFilter(this);
  Run(&TPostingForm::FormCreate);
}

TPostingForm::~TPostingForm() {
  qApp->removeEventFilter(this);
  // The password edit outlives this body; it must not keep the style that goes with it.
  TClave()->setStyle(nullptr);
}

void TPostingForm::CreateComponents() {
  const ConnectionDefinition& d = TalvoraDefinition();
  talvora_ = std::make_unique<TSQLConnection>(&components_);
  talvora_->SetName(d.name);
  talvora_->ConnectionName = d.name;
  talvora_->DriverName = d.driver_name;
  talvora_->LibraryName = d.library_name;
  talvora_->GetDriverFunc = d.get_driver_func;
  talvora_->VendorLib = d.vendor_lib;
  talvora_->LoginPrompt = d.login_prompt;
  talvora_->KeepConnection = d.keep_connection;
  for (const char* line : d.params) talvora_->Params().Add(line);
  talvora_->SetWaitCursorHook([this](bool busy) {
    if (busy) {
      ui_.PushWaitCursor();
    } else {
      ui_.PopWaitCursor();
    }
  });
  for (const DataComponentDefinition& d : PostingFormDataComponents()) CreateDataComponent(d);
}

template <typename T>
T& TPostingForm::Named(const char* name) {
  if (auto* component = dynamic_cast<T*>(components_.FindComponent(name))) return *component;
  throw std::logic_error(std::string("the window has no suitable component ") + name);
}

void TPostingForm::CreateDataComponent(const DataComponentDefinition& d) {
  switch (d.kind) {
    case DataComponentKind::kSQLQuery: {
      auto& query = data_components_.Add(std::make_unique<TSQLQuery>(&components_));
      query.SetName(d.name);
      query.Settings = format_settings_;
      query.SetSQLConnection(&Named<TSQLConnection>(d.source));
      query.SetSQL(d.text);
      return;
    }
    case DataComponentKind::kSQLTable: {
      auto& table = data_components_.Add(std::make_unique<TSQLTable>(&components_));
      table.SetName(d.name);
      table.Settings = format_settings_;
      table.SetSQLConnection(&Named<TSQLConnection>(d.source));
      table.SetTableName(d.text);
      table.GetMetadata = d.get_metadata;
      return;
    }
    case DataComponentKind::kProvider: {
      auto& provider = data_components_.Add(std::make_unique<TDataSetProvider>(&components_));
      provider.SetName(d.name);
      provider.SetDataSet(&Named<TDataSet>(d.source));
      provider.SetOptions(d.options);
      return;
    }
    case DataComponentKind::kClientDataSet: {
      auto& cached = data_components_.Add(std::make_unique<TClientDataSet>(&components_));
      cached.SetName(d.name);
      cached.Settings = format_settings_;
      cached.ProviderName = d.source;
      cached.SetCommandText(d.text);
      // The window owns the fields' components, listed right after their dataset: a cached
      // dataset that owned components would be passed over by the wiring walk.
      for (const FieldDefinition& f : d.fields) {
        std::unique_ptr<TField> field = NewField(f.field_class, &components_);
        field->SetName(std::string(d.name) + f.field_name);
        field->SetFieldName(f.field_name);
        field->SetDisplayLabel(f.display_label);
        field->SetRequired(f.required);
        if (f.precision > 0) {
          field->SetPrecision(f.precision);
          field->SetSize(f.size);
        }
        cached.AddField(std::move(field));
      }
      return;
    }
  }
}

int TPostingForm::Scaled(int pixels) const {
  return static_cast<int>(std::lround(pixels * scale_));
}

void TPostingForm::BuildControls() {
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

QWidget* TPostingForm::Control(const std::string& name) const {
  const auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

QComboBox* TPostingForm::Servidor() const {
  return static_cast<QComboBox*>(controls_.at("Servidor"));
}
QLineEdit* TPostingForm::Tusua() const {
  return static_cast<QLineEdit*>(controls_.at("Tusua"));
}
QLineEdit* TPostingForm::TClave() const {
  return static_cast<QLineEdit*>(controls_.at("TClave"));
}
QLineEdit* TPostingForm::Cia() const {
  return static_cast<QLineEdit*>(controls_.at("Cia"));
}
QLineEdit* TPostingForm::Pref() const {
  return static_cast<QLineEdit*>(controls_.at("Pref"));
}
QDateEdit* TPostingForm::EFecIni() const {
  return static_cast<QDateEdit*>(controls_.at("EFecIni"));
}
QDateEdit* TPostingForm::EFecFin() const {
  return static_cast<QDateEdit*>(controls_.at("EFecFin"));
}
QToolButton* TPostingForm::SpeedButton3() const {
  return static_cast<QToolButton*>(controls_.at("SpeedButton3"));
}
QToolButton* TPostingForm::SpeedButton2() const {
  return static_cast<QToolButton*>(controls_.at("SpeedButton2"));
}
BevelPanel* TPostingForm::Panel5() const {
  return static_cast<BevelPanel*>(controls_.at("Panel5"));
}
BevelPanel* TPostingForm::AdvPanel1() const {
  return static_cast<BevelPanel*>(controls_.at("AdvPanel1"));
}

TSQLQuery& TPostingForm::SQLQuery1() const {
  return data_components_.Get<TSQLQuery>("SQLQuery1");
}
TDataSetProvider& TPostingForm::PRepArticulos() const {
  return data_components_.Get<TDataSetProvider>("PRepArticulos");
}
TClientDataSet& TPostingForm::CRepArticulos() const {
  return data_components_.Get<TClientDataSet>("CRepArticulos");
}
TDataSetProvider& TPostingForm::PBorrar() const {
  return data_components_.Get<TDataSetProvider>("PBorrar");
}
TClientDataSet& TPostingForm::Cborrar() const {
  return data_components_.Get<TClientDataSet>("Cborrar");
}
TSQLTable& TPostingForm::TAjuste() const {
  return data_components_.Get<TSQLTable>("TAjuste");
}
TDataSetProvider& TPostingForm::PAjuste() const {
  return data_components_.Get<TDataSetProvider>("PAjuste");
}
TClientDataSet& TPostingForm::CAjuste() const {
  return data_components_.Get<TClientDataSet>("CAjuste");
}
TSQLQuery& TPostingForm::QTarifas() const {
  return data_components_.Get<TSQLQuery>("QTarifas");
}
TDataSetProvider& TPostingForm::Ptarifiva() const {
  return data_components_.Get<TDataSetProvider>("Ptarifiva");
}
TClientDataSet& TPostingForm::CTarifas() const {
  return data_components_.Get<TClientDataSet>("CTarifas");
}

void TPostingForm::ShowBanner(const std::string& text) {
  SetBannerCaption(text);
  Panel5()->show();
  ui_.RepaintNow();
}

void TPostingForm::HideBanner() {
  Panel5()->hide();
}

void TPostingForm::SetBannerCaption(const std::string& text) {
  Panel5()->SetCaption(QString::fromStdString(text));
}

bool TPostingForm::BannerVisible() const {
  return Panel5()->isVisible();
}

std::string TPostingForm::BannerCaption() const {
  return Panel5()->Caption().toStdString();
}

void TPostingForm::FormCreate() {
  ConfigurarProviders();
  server_list_.clear();
  const std::string directory =
      diraplicacion([this](const std::string& text) { ui_.ShowInformation(text); });
  server_list_ = ReadServerList(directory);
  QComboBox* servidor = Servidor();
  servidor->clear();
  for (const std::string& entry : server_list_) servidor->addItem(QString::fromStdString(entry));
  servidor->setCurrentIndex(server_list_.empty() ? -1 : 0);
}

void TPostingForm::ConfigurarProviders() {
  // The error handler that this walk attaches to the providers and cached datasets is not
  // part of the window yet.
}

void TPostingForm::Run(void (TPostingForm::*handler)()) {
  RunHandler(ui_, [this, handler] { (this->*handler)(); });
}

void TPostingForm::RunBound(Handler handler) {
  switch (handler) {
    case Handler::kNone:
    case Handler::kEnteratab:
      return;
    case Handler::kCiaExit:
      return Run(&TPostingForm::CiaExit);
    case Handler::kSpeedButton3Click:
      return Run(&TPostingForm::SpeedButton3Click);
    case Handler::kSpeedButton2Click:
      return Run(&TPostingForm::SpeedButton2Click);
  }
}

const ControlDefinition* TPostingForm::BoundControlOf(QObject* object) const {
  for (QObject* o = object; o && o != this; o = o->parent()) {
    const auto it = definitions_.find(static_cast<QWidget*>(o));
    if (it != definitions_.end()) return it->second;
  }
  return nullptr;
}

bool TPostingForm::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this) return false;
  if (event->type() == QEvent::KeyPress) {
    // Seen once per key press: when it reaches the focused control, before that control.
    QWidget* focused = focusWidget() ? focusWidget() : this;
    if (widget != focused) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    RunHandler(ui_, [&] { FormKeyDown(key->key(), key->modifiers()); });
    const ControlDefinition* control = BoundControlOf(widget);
    // Ctrl+Enter is a line feed and Alt+Enter a system key, not a carriage return.
    if (control && control->on_key_press == Handler::kEnteratab && IsEnterKey(*key) &&
        !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      Run(&TPostingForm::Enteratab);
      return true;
    }
    return false;
  }
  if (event->type() == QEvent::FocusOut) {
    const auto* focus = static_cast<QFocusEvent*>(event);
    // Only a move of the focus to another control of the window leaves a field; the window
    // losing activation, a popup opening or the window clearing its focus as it closes do not.
    if (focus->reason() == Qt::ActiveWindowFocusReason || focus->reason() == Qt::PopupFocusReason)
      return false;
    const QWidget* next = QApplication::focusWidget();
    if (!next || next == widget || next->window() != this) return false;
    const auto it = definitions_.find(widget);
    if (it != definitions_.end() && it->second->on_exit != Handler::kNone) {
      // Run once the focus has settled on its new control, as a leave handler may move it.
      const Handler handler = it->second->on_exit;
      QTimer::singleShot(0, this, [this, handler] {
        if (isVisible()) RunBound(handler);
      });
    }
  }
  return false;
}

void TPostingForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
  if (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) return;
  if (key == Qt::Key_F2) {
    if (AdvPanel1()->isVisible()) AdjustmentF2PreStep();
    SpeedButton3Click();
  }
  if (key == Qt::Key_F5) AdjustmentF5Command();
  if (key == Qt::Key_Escape) SpeedButton2Click();
}

void TPostingForm::Enteratab() {
  focusNextChild();
}

void TPostingForm::SpeedButton2Click() {
  close();
}

void TPostingForm::SpeedButton3Click() {
  // The posting run takes this over.
}

void TPostingForm::AdjustmentF2PreStep() {
  // The adjustment factors take this over.
}

void TPostingForm::AdjustmentF5Command() {
  // The adjustment factors take this over.
}

void TPostingForm::FormClose() {
  CRepArticulos().Close();
}

void TPostingForm::closeEvent(QCloseEvent* event) {
  Run(&TPostingForm::FormClose);
  event->accept();
}

void TPostingForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceAlignedControls();
}

void TPostingForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!focusWidget()) Servidor()->setFocus(Qt::OtherFocusReason);
}
