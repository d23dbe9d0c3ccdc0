// The provider over an SQL dataset of the connection layer.
#include "data/provider/dataset_provider.h"

void TDataSetProvider::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_ && source_ != nullptr) return;
  dataSet_ = dataSet;
  source_ = dataSet != nullptr ? MakeProviderSource(*dataSet) : nullptr;
  openedByProvider_ = false;
  rowsSent_ = 0;
}
