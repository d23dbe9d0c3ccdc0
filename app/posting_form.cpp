#include "app/posting_form.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <memory>
#include <string>

#include "adjust/adjustment_grid.h"
#include "adjust/adjustment_panel.h"
#include "app/bevel_panel.h"
#include "app/password_style.h"
#include "app/posting_form_definition.h"
#include "app/program_commands.h"
#include "datamodule/posting_data_module.h"
#include "errors/default_error_display.h"
#include "errors/error_handler.h"

namespace {

TDateTime CalendarDate(const QDate& date) {
  return EncodeDate(date.year(), date.month(), date.day());
}

}  // namespace

TPostingForm::TPostingForm(UiServices& ui, const FormatSettings& formatSettings,
                           CommandsFactory makeCommands, QWidget* parent)
    : QWidget(parent),
      ui_(ui),
      format_settings_(formatSettings),
      password_style_(std::make_unique<PasswordStyle>()),
      error_handler_(std::make_unique<ErrorHandler>(ui, *this, formatSettings)) {
  const FormDefinition& form = PostingFormDefinition();
  setObjectName(form.name);
  setWindowTitle(QString::fromUtf8(form.caption));
  BuildControls();
  BuildFocusOrder();
  data_ = std::make_unique<TPostingDataModule>(form.name, format_settings_, [this](bool busy) {
    if (busy) {
      ui_.PushWaitCursor();
    } else {
      ui_.PopWaitCursor();
    }
  });
  data_->SetShowException(
      [this](const std::exception_ptr& failure) { ShowDefaultError(failure, ui_); });
  BuildAdjustmentEditor();
  commands_ = makeCommands ? makeCommands(*this) : MakeProgramCommands(*this);
  resize(Scaled(form.client_width), Scaled(form.client_height));
  PlaceAlignedControls();
  CentreOnDesktop();
  qApp->installEventFilter(this);
  Run(&TPostingForm::FormCreate);
}

TPostingForm::~TPostingForm() {
  qApp->removeEventFilter(this);
  // The editor follows the data module's datasets: it goes first.
  delete adjustment_panel_;
  // The password edit outlives this body; it must not keep the style that goes with it.
  TClave()->setStyle(nullptr);
}

TSQLConnection& TPostingForm::Talvora() const {
  return data_->Talvora();
}

TComponent& TPostingForm::Components() const {
  return data_->Components();
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

TDateTime TPostingForm::StartDate() const {
  return CalendarDate(EFecIni()->date());
}

TDateTime TPostingForm::EndDate() const {
  return CalendarDate(EFecFin()->date());
}

std::string TPostingForm::Prefix() const {
  return Pref()->text().toStdString();
}

std::string TPostingForm::UserName() const {
  return Tusua()->text().toStdString();
}

void TPostingForm::CloseWindow() {
  close();
}

bool TPostingForm::AdjustmentPanelVisible() const {
  return AdvPanel1()->isVisible();
}

void TPostingForm::ShowAdjustmentPanel() {
  AdvPanel1()->show();
}

void TPostingForm::HideAdjustmentPanel() {
  AdvPanel1()->hide();
}

void TPostingForm::FocusAdjustmentGrid() {
  adjustment_panel_->Grid()->setFocus(Qt::OtherFocusReason);
}
