// The window's event handlers: the key preview and dispatch, Enter as Tab, leaving a field,
// the buttons, creation and closing.
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QTimer>
#include <QToolButton>

#include "app/bevel_panel.h"
#include "app/posting_form.h"
#include "app/posting_form_definition.h"
#include "config/installation_dir.h"
#include "config/server_list.h"
#include "data/client/client_dataset.h"
#include "datamodule/posting_data_module.h"
#include "errors/default_error_display.h"
#include "errors/wiring_walk.h"

namespace {

bool IsEnterKey(const QKeyEvent& key) {
  return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

}  // namespace

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
  ::ConfigurarProviders(Components(), *error_handler_);
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
    if (AdjustmentPanelVisible()) commands_->AdjustmentF2PreStep();
    SpeedButton3Click();
  }
  if (key == Qt::Key_F5) commands_->AdjustmentF5();
  if (key == Qt::Key_Escape) SpeedButton2Click();
}

void TPostingForm::Enteratab() {
  focusNextChild();
}

void TPostingForm::SpeedButton2Click() {
  close();
}

void TPostingForm::SpeedButton3Click() {
  commands_->PostingRun();
}

void TPostingForm::FormClose() {
  data_->CRepArticulos().Close();
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
