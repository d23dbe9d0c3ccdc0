// The error handling wiring of the real window: made first at creation, over every provider and
// cached dataset the window owns, to the window's own handler.
#include <QLineEdit>
#include <filesystem>
#include <sstream>

#include "data/client/client_dataset.h"
#include "data/provider/dataset_provider.h"
#include "datamodule/posting_data_module.h"
#include "posting_form_fixture.h"
#include "tests/support/file_bytes.h"

namespace {

class PostingFormWiringTest : public PostingFormTest {
 protected:
  std::string Log() const { return FileBytes(install_dir_ / "ERRORES.TXT"); }

  // The four chains' providers and cached datasets, in the window's order.
  static std::vector<TDataSetProvider*> Providers(TPostingDataModule& d) {
    return {&d.PRepArticulos(), &d.PBorrar(), &d.PAjuste(), &d.Ptarifiva()};
  }
  static std::vector<TClientDataSet*> CachedDataSets(TPostingDataModule& d) {
    return {&d.CRepArticulos(), &d.Cborrar(), &d.CAjuste(), &d.CTarifas()};
  }

  // Fires every error event of `d`'s providers and cached datasets once, with its name as the
  // message.
  static void FireEveryErrorEvent(TPostingDataModule& d) {
    for (TDataSetProvider* p : Providers(d)) {
      ASSERT_TRUE(p->OnUpdateError) << p->Name();
      EUpdateError e(p->Name(), "", 0, 0);
      TResolverResponse response = TResolverResponse::rrSkip;
      p->OnUpdateError(p, &d.CAjuste(), e, TUpdateKind::ukModify, response);
      EXPECT_EQ(response, TResolverResponse::rrAbort) << p->Name();
    }
    for (TClientDataSet* c : CachedDataSets(d)) {
      for (TDataSetErrorEvent* event : {&c->OnEditError, &c->OnPostError, &c->OnDeleteError}) {
        ASSERT_TRUE(*event) << c->Name();
        EDatabaseError e(c->Name());
        TDataAction action = TDataAction::daFail;
        (*event)(*c, e, action);
        EXPECT_EQ(action, TDataAction::daAbort) << c->Name();
      }
    }
  }
};

TEST_F(PostingFormWiringTest, EveryProviderAndCachedDatasetReachesTheWindowsHandler) {
  InstallDefault();
  RecordingPostingForm& form = Open();
  form.Tusua()->setText("ana");
  ui_.calls.clear();
  TPostingDataModule& d = form.Data();
  for (TClientDataSet* c : CachedDataSets(d)) EXPECT_EQ(c->PacketRecords, 1000) << c->Name();

  FireEveryErrorEvent(d);

  // Each failure shown and logged once, with the user typed into the window.
  std::vector<std::string> names;
  for (TDataSetProvider* p : Providers(d)) names.push_back(p->Name());
  for (TClientDataSet* c : CachedDataSets(d)) names.insert(names.end(), 3, c->Name());
  EXPECT_EQ(ui_.Texts("error"), names);
  std::vector<std::string> logged;
  std::istringstream lines(Log());
  for (std::string line; std::getline(lines, line, '\n');) {
    const std::size_t user = line.find(",ana,");
    ASSERT_NE(user, std::string::npos) << line;
    logged.push_back(line.substr(user + 5, line.size() - user - 6));  // without the CR
  }
  EXPECT_EQ(logged, names);
  // The cached datasets warn in the banner first.
  EXPECT_EQ(form.BannerCaption(), "CTarifas: CTarifas");
}

TEST_F(PostingFormWiringTest, TheWiringComesBeforeAFailingLookOfTheServerList) {
  Install("[General]\nDirectorio=a, b\n", std::nullopt);
  RecordingPostingForm& form = Open();
  EXPECT_EQ(ui_.Texts("failure"), std::vector<std::string>{"Invalid data type for 'Directorio'"});
  for (TClientDataSet* c : CachedDataSets(form.Data())) {
    EXPECT_EQ(c->PacketRecords, 1000) << c->Name();
    EXPECT_TRUE(c->OnPostError) << c->Name();
  }
  for (TDataSetProvider* p : Providers(form.Data())) EXPECT_TRUE(p->OnUpdateError) << p->Name();
}

}  // namespace
