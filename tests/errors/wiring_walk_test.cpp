// The wiring walk over a tree of components: which ones get the handler and the packet size.
#include "errors/wiring_walk.h"

#include <gtest/gtest.h>

#include "data/client/client_dataset.h"
#include "data/provider/dataset_provider.h"
#include "errors/error_handler.h"
#include "recording_ui.h"
#include "recording_window.h"
#include "tests/db/dataset/memory_dataset.h"
#include "tests/support/suite_settings.h"

namespace {

class WiringWalkTest : public testing::Test {
 protected:
  WiringWalkTest() { settings_.SetDirectorio(settings_.Folder().string()); }

  // Whether each error event of `dataSet` reaches the handler: it answers daAbort and shows
  // the dialog.
  bool ClientEventsWired(TClientDataSet& dataSet) {
    bool all = true;
    for (TDataSetErrorEvent* event :
         {&dataSet.OnEditError, &dataSet.OnPostError, &dataSet.OnDeleteError}) {
      ui_.calls.clear();
      EDatabaseError e("falla");
      TDataAction action = TDataAction::daFail;
      if (*event) (*event)(dataSet, e, action);
      all = all && action == TDataAction::daAbort && ui_.Texts("error").size() == 1;
    }
    return all;
  }
  bool ProviderWired(TDataSetProvider& provider) {
    if (!provider.OnUpdateError) return false;
    EUpdateError e("falla", "", 0, 0);
    TResolverResponse response = TResolverResponse::rrSkip;
    provider.OnUpdateError(&provider, nullptr, e, TUpdateKind::ukModify, response);
    return response == TResolverResponse::rrAbort;
  }

  SuiteSettings settings_;
  RecordingUi ui_;
  RecordingWindow window_;
  ErrorHandler handler_{ui_, window_, FormatSettings::Default()};
};

TEST_F(WiringWalkTest, WiresProvidersAndCachedDatasetsAtAnyDepthButNotOwners) {
  TComponent window;
  TDataSetProvider provider(&window);
  TClientDataSet cached(&window);
  TComponent panel(&window);  // owns components of its own: walked, not wired
  TDataSetProvider innerProvider(&panel);
  TClientDataSet innerCached(&panel);
  TClientDataSet owningCached(&window);
  TComponent ownedByCached(&owningCached);
  TMemoryDataSet otherDataSet({}, &window);
  TComponent plain(&window);

  ConfigurarProviders(window, handler_);

  EXPECT_TRUE(ProviderWired(provider));
  EXPECT_TRUE(ProviderWired(innerProvider));
  EXPECT_TRUE(ClientEventsWired(cached));
  EXPECT_TRUE(ClientEventsWired(innerCached));
  EXPECT_EQ(cached.PacketRecords, 1000);
  EXPECT_EQ(innerCached.PacketRecords, 1000);
  // A cached dataset that owns components is walked like any owner and not wired itself.
  EXPECT_FALSE(owningCached.OnPostError || owningCached.OnEditError || owningCached.OnDeleteError);
  EXPECT_EQ(owningCached.PacketRecords, -1);
  // Other datasets are not cached datasets.
  EXPECT_FALSE(otherDataSet.OnPostError || otherDataSet.OnEditError || otherDataSet.OnDeleteError);
}

}  // namespace
