// TPostingForm: the program's one window. It is built from the window definition
// (posting_form_definition.h), owns every control and every non-visual component of the
// program, dispatches the keyboard commands and runs its event handlers through the default
// error display, so a failure in a handler is shown and the window stays open.
//
// Key preview: the window sees every key press of its controls before the focused control
// does, and lets the key through afterwards. Enter in the six bound controls moves the focus
// on like Tab and is swallowed.
//
// Lives on the user-interface thread. The UiServices passed in must outlive the window.
#pragma once

#include <QWidget>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/owned_components.h"
#include "base/component.h"
#include "base/format_settings.h"
#include "errors/ui_services.h"

class BevelPanel;
class TClientDataSet;
class TDataSetProvider;
class TSQLConnection;
class TSQLQuery;
class TSQLTable;
class QComboBox;
class QStyle;
class QDateEdit;
class QLabel;
class QLineEdit;
class QToolButton;
struct ControlDefinition;
struct DataComponentDefinition;
enum class Handler;

class TPostingForm : public QWidget {
  Q_OBJECT

 public:
  // Builds the window and runs FormCreate; the window is not shown yet.
  TPostingForm(UiServices& ui, const FormatSettings& formatSettings, QWidget* parent = nullptr);
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

  // The server list read at creation (the entries `Servidor` was filled from).
  const std::vector<std::string>& ServerList() const { return server_list_; }

  // Owner of the window's non-visual components (connection, datasets, providers), in
  // creation order; the error-handling wiring walks it.
  TComponent& Components() { return components_; }

  // The company connection, owned by the window for its whole life.
  TSQLConnection& Talvora() const { return *talvora_; }

  // The four data chains (cached dataset, provider, SQL dataset on Talvora), owned by the window
  // for its whole life. Nothing is open at creation; the cached datasets close without saving as
  // the window goes.
  TSQLQuery& SQLQuery1() const;
  TDataSetProvider& PRepArticulos() const;
  TClientDataSet& CRepArticulos() const;  // the posting run
  TDataSetProvider& PBorrar() const;
  TClientDataSet& Cborrar() const;
  TSQLTable& TAjuste() const;
  TDataSetProvider& PAjuste() const;
  TClientDataSet& CAjuste() const;  // the adjustment rows, with their five persistent fields
  TSQLQuery& QTarifas() const;
  TDataSetProvider& Ptarifiva() const;
  TClientDataSet& CTarifas() const;  // the rate list

  UiServices& Ui() const { return ui_; }
  const FormatSettings& Settings() const { return format_settings_; }

  // The status banner Panel5.
  // Sets the caption, shows the banner and repaints at once, so it is on screen before the
  // long operation that follows.
  void ShowBanner(const std::string& text);
  // Hides the banner; the caller decides whether to repaint at once.
  void HideBanner();
  // Sets the caption alone; visibility unchanged.
  void SetBannerCaption(const std::string& text);
  bool BannerVisible() const;
  std::string BannerCaption() const;

 protected:
  // Leaving `Cia` or `Pref`: with company, user and password typed, (re)connects `Talvora` to
  // that company's database. A failed connect leaves the banner up, the connection closed with
  // the typed parameters, and dates, focus and the F2 button as they were.
  virtual void CiaExit();

  // Handlers that the posting run and the adjustment factors take over. They do nothing yet.
  virtual void SpeedButton3Click();
  virtual void AdjustmentF2PreStep();
  virtual void AdjustmentF5Command();

  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  QWidget* CreateControl(const ControlDefinition& definition, QWidget* parent);
  void BuildFocusOrder();
  void CreateComponents();
  void CreateDataComponent(const DataComponentDefinition& definition);
  // The component named `name` among the window's; REQUIRES: it exists and is a T.
  template <typename T>
  T& Named(const char* name);
  void PlaceAlignedControls();
  void CentreOnDesktop();
  int Scaled(int pixels) const;

  // Event handlers of the definition.
  void FormCreate();
  void ConfigurarProviders();
  void FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
  void Enteratab();
  void SpeedButton2Click();
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
  TComponent components_;
  std::map<std::string, QWidget*> controls_;  // children of this window, by name
  std::map<const QWidget*, const ControlDefinition*> definitions_;
  std::vector<std::string> server_list_;
  // Registered with components_, so destroyed before it.
  std::unique_ptr<TSQLConnection> talvora_;
  // The data components after talvora_, in creation order; they go before it.
  OwnedComponents data_components_;
};
