// TPostingForm: the program's one window. It is built from the window definition
// (posting_form_definition.h), owns every control, the data module with the connection and
// the data chains, and the commands its keys and buttons start. It dispatches the keyboard
// commands and runs its event handlers through the default error display, so a failure in a
// handler is shown and the window stays open.
//
// Key preview: the window sees every key press of its controls before the focused control
// does, and lets the key through afterwards. Enter in the six bound controls moves the focus
// on like Tab and is swallowed.
//
// Lives on the user-interface thread. The UiServices passed in must outlive the window.
#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/format_settings.h"
#include "ui/posting_window.h"
#include "ui/ui_services.h"
#include "ui/window_commands.h"

class AdjustmentPanel;
class BevelPanel;
class ErrorHandler;
class TComponent;
class TPostingDataModule;
class TSQLConnection;
class QComboBox;
class QStyle;
class QDateEdit;
class QLineEdit;
class QToolButton;
struct ControlDefinition;
enum class Handler;

class TPostingForm : public QWidget, public PostingWindow {
  Q_OBJECT

 public:
  // Makes the commands of a window; called once, while the window is being built, after its
  // controls and data module exist and before window creation runs.
  using CommandsFactory = std::function<std::unique_ptr<WindowCommands>(TPostingForm&)>;

  // Builds the window and runs FormCreate; the window is not shown yet. Without a factory the
  // window runs the program's own commands.
  TPostingForm(UiServices& ui, const FormatSettings& formatSettings,
               CommandsFactory makeCommands = nullptr, QWidget* parent = nullptr);
  ~TPostingForm() override;

  TPostingForm(const TPostingForm&) = delete;
  TPostingForm& operator=(const TPostingForm&) = delete;

  // The control of the definition named `name`; null when there is none.
  QWidget* Control(const std::string& name) const;

  QComboBox* Servidor() const;
  QLineEdit* Tusua() const;
  QLineEdit* TClave() const;
  QLineEdit* Cia() const;
  QLineEdit* Pref() const;
  QDateEdit* EFecIni() const;
  QDateEdit* EFecFin() const;
  QToolButton* SpeedButton3() const;
  QToolButton* SpeedButton2() const;
  BevelPanel* Panel5() const;
  BevelPanel* AdvPanel1() const;
  // What AdvPanel1 holds: the caption bar, the grid DBGridEh2 and the navigator DBNavigator1.
  AdjustmentPanel* AdjustmentEditorPanel() const { return adjustment_panel_; }

  // The server list read at creation (the entries `Servidor` was filled from).
  const std::vector<std::string>& ServerList() const { return server_list_; }

  // The connection `Talvora` and the data chains, owned by the window for its whole life.
  TPostingDataModule& Data() const { return *data_; }
  TSQLConnection& Talvora() const;
  // Owner of the window's non-visual components, in creation order.
  TComponent& Components() const;

  UiServices& Ui() const { return ui_; }
  const FormatSettings& Settings() const { return format_settings_; }

  // PostingWindow.
  void ShowBanner(const std::string& text) override;
  void HideBanner() override;
  void SetBannerCaption(const std::string& text) override;
  TDateTime StartDate() const override;
  TDateTime EndDate() const override;
  std::string Prefix() const override;
  std::string UserName() const override;
  void CloseWindow() override;
  bool AdjustmentPanelVisible() const override;
  void ShowAdjustmentPanel() override;
  void HideAdjustmentPanel() override;
  void FocusAdjustmentGrid() override;

  bool BannerVisible() const;
  std::string BannerCaption() const;

 protected:
  // Leaving `Cia` or `Pref`: with company, user and password typed, (re)connects `Talvora` to
  // that company's database. A failed connect leaves the banner up, the connection closed with
  // the typed parameters, and dates, focus and the F2 button as they were.
  virtual void CiaExit();

  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // Building the widgets from the definition (posting_form_widgets.cpp).
  void BuildControls();
  QWidget* CreateControl(const ControlDefinition& definition, QWidget* parent);
  void BuildFocusOrder();
  // The adjustment editor inside AdvPanel1, over DAjuste; its grid follows Pref in the focus
  // order while it shows.
  void BuildAdjustmentEditor();
  void PlaceAlignedControls();
  void CentreOnDesktop();
  int Scaled(int pixels) const;

  // Event handlers of the definition (posting_form_handlers.cpp).
  void FormCreate();
  void ConfigurarProviders();
  void FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
  void Enteratab();
  void SpeedButton2Click();
  void SpeedButton3Click();
  void FormClose();

  // Runs `handler` through the default error display.
  void Run(void (TPostingForm::*handler)());
  void RunBound(Handler handler);
  // The control of the definition that `object` is, or lies inside; null when none.
  const ControlDefinition* BoundControlOf(QObject* object) const;

  UiServices& ui_;
  FormatSettings format_settings_;
  std::unique_ptr<QStyle> password_style_;  // the password edit's; released by the destructor
  double scale_ = 1.0;
  std::map<std::string, QWidget*> controls_;  // children of this window, by name
  std::map<const QWidget*, const ControlDefinition*> definitions_;
  std::vector<std::string> server_list_;
  // Before data_: the events of its providers and cached datasets call the handler.
  std::unique_ptr<ErrorHandler> error_handler_;
  std::unique_ptr<TPostingDataModule> data_;
  AdjustmentPanel* adjustment_panel_ = nullptr;  // a child of AdvPanel1
  std::unique_ptr<WindowCommands> commands_;
};
