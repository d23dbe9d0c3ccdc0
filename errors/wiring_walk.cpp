#include "errors/wiring_walk.h"

#include "base/component.h"
#include "data/client/client_dataset.h"
#include "data/provider/dataset_provider.h"
#include "errors/error_handler.h"

namespace {

void WireProvider(TDataSetProvider& provider, ErrorHandler& handler) {
  provider.OnUpdateError = [&handler](TDataSetProvider* sender, TDataSet* dataSet, EUpdateError& e,
                                      TUpdateKind updateKind, TResolverResponse& response) {
    handler.ManejarError(sender, dataSet, e, updateKind, response);
  };
}

void WireClientDataSet(TClientDataSet& dataSet, ErrorHandler& handler) {
  dataSet.PacketRecords = kWiredPacketRecords;
  const TDataSetErrorEvent event = [&handler](TDataSet& failing, EDatabaseError& e,
                                              TDataAction& action) {
    handler.ManejarClientError(failing, e, action);
  };
  dataSet.OnPostError = event;
  dataSet.OnEditError = event;
  dataSet.OnDeleteError = event;
}

}  // namespace

void ConfigurarProviders(TComponent& owner, ErrorHandler& handler) {
  for (int i = 0; i < owner.ComponentCount(); ++i) {
    TComponent& component = *owner.Components(i);
    if (component.ComponentCount() > 0) {
      ConfigurarProviders(component, handler);
    } else if (auto* provider = dynamic_cast<TDataSetProvider*>(&component)) {
      WireProvider(*provider, handler);
    } else if (auto* dataSet = dynamic_cast<TClientDataSet*>(&component)) {
      WireClientDataSet(*dataSet, handler);
    }
  }
}
