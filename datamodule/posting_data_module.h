// TPostingDataModule: the main window's non-visual components, built from their definition
// exactly as the window uses them: the company connection `Talvora`, the four data chains
// (SQL dataset on Talvora, provider, cached dataset) and the data source `DAjuste` through which
// the adjustment editor shows `CAjuste`, all owned by one owner component named after the
// window, in creation order.
//
// Free of the user interface, so that tests and benchmarks build the very chains the window
// runs. Nothing is open at creation; the cached datasets close without saving as the module
// goes, newest first, and the connection last.
#pragma once

#include <exception>
#include <functional>
#include <memory>

#include "base/component.h"
#include "base/format_settings.h"
#include "datamodule/owned_components.h"

class TClientDataSet;
class TDataSource;
struct DataComponentDefinition;
class TDataSetProvider;
class TSQLConnection;
class TSQLQuery;
class TSQLTable;

class TPostingDataModule {
 public:
  // `ownerName` names the owner component (the window's name). `waitCursor` is called with
  // true while the connection loads its driver or connects, and with false afterwards.
  TPostingDataModule(const char* ownerName, const FormatSettings& settings,
                     std::function<void(bool busy)> waitCursor);
  ~TPostingDataModule();

  TPostingDataModule(const TPostingDataModule&) = delete;
  TPostingDataModule& operator=(const TPostingDataModule&) = delete;

  // Owner of every component, in creation order; the error-handling wiring walks it.
  TComponent& Components() { return components_; }

  TSQLConnection& Talvora() const { return *talvora_; }

  // How every cached dataset shows a failure inside its reconcile event: the window's default
  // error display (see TClientDataSet::ShowException).
  void SetShowException(const std::function<void(const std::exception_ptr&)>& show);

  TSQLQuery& SQLQuery1() const;
  TDataSetProvider& PRepArticulos() const;
  TClientDataSet& CRepArticulos() const;  // the posting run
  TDataSetProvider& PBorrar() const;
  TClientDataSet& Cborrar() const;
  TSQLTable& TAjuste() const;
  TDataSetProvider& PAjuste() const;
  TClientDataSet& CAjuste() const;  // the adjustment rows, with their five persistent fields
  TDataSource& DAjuste() const;     // CAjuste for the adjustment editor
  TSQLQuery& QTarifas() const;
  TDataSetProvider& Ptarifiva() const;
  TClientDataSet& CTarifas() const;  // the rate list

 private:
  void CreateTalvora(std::function<void(bool)> waitCursor);
  void CreateDataComponent(const DataComponentDefinition& definition);
  // The component named `name`; REQUIRES: it exists and is a T.
  template <typename T>
  T& Named(const char* name);

  FormatSettings settings_;
  TComponent components_;
  // Registered with components_, so destroyed before it.
  std::unique_ptr<TSQLConnection> talvora_;
  // The data components after talvora_, in creation order; they go before it.
  OwnedComponents data_components_;
};
