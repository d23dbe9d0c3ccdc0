// The window of the cached-dataset tests: CAjuste over PAjuste, whose rows come from a scripted
// forward-only source (AJCI_ID, AJCI_FECINI, AJCI_PORC), with every request to the provider
// recorded.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/bcd.h"
#include "base/date_time.h"
#include "data/client/client_dataset.h"
#include "data/provider/dataset_provider.h"
#include "data/provider/local_app_server.h"
#include "tests/data/client/counting_link.h"

namespace clienttest {

struct Row {
  std::optional<std::int32_t> id;
  std::int32_t day;  // day of March 2023
  const char* porc;
};

// AJCI_ID integer (required), AJCI_FECINI date, AJCI_PORC decimal: forward only.
class TableSource : public ProviderSource {
 public:
  explicit TableSource(std::vector<Row> rows) : rows_(std::move(rows)) {}
  bool Active() const override { return active_; }
  void Open() override {
    if (!failText.empty()) throw EDatabaseError(failText);
    active_ = true;
    pos_ = 0;
    ++opens;
  }
  void Close() override { active_ = false; }
  void First() override { pos_ = 0; }
  void Next() override { ++pos_; }
  bool Eof() const override { return pos_ >= rows_.size(); }
  void CheckBrowseMode() override {}
  void SetCommandText(std::string_view) override {}
  void SetParams(const std::vector<std::uint8_t>&) override {}
  std::vector<std::uint8_t> GetParams() const override { return {}; }
  std::vector<engine::DSColumn> Columns() const override {
    return {{"AJCI_ID", engine::DSType::kInteger, 4, engine::kColRequired, {}},
            {"AJCI_FECINI", engine::DSType::kDate, 4, 0, {}},
            {"AJCI_PORC", engine::DSType::kBcd, 18, 0, {}}};
  }
  void PutRow(engine::IDSWriter& w) const override {
    const Row& r = rows_[pos_];
    if (r.id) {
      w.PutField(&*r.id, 4);
    } else {
      w.PutNull();
    }
    const std::int32_t day = DateToDayNumber(EncodeDate(2023, 3, r.day));
    w.PutField(&day, 4);
    const TBcd bcd = StrToBcd(r.porc, '.');
    w.PutField(&bcd, sizeof bcd);
  }
  std::int64_t LocaleCode() const override { return 3082; }

  std::string failText;
  int opens = 0;

 private:
  std::vector<Row> rows_;
  bool active_ = false;
  std::size_t pos_ = 0;
};

inline std::vector<Row> Table(int n, int days = 10) {
  std::vector<Row> rows;
  const char* rates[] = {"19", "5", "0", "0.8"};
  for (int i = 0; i < n; ++i) rows.push_back({i + 1, 1 + i % days, rates[i % 4]});
  return rows;
}

struct Window {
  explicit Window(std::vector<Row> rows, TProviderOptions options = 0) {
    provider.SetName("PAjuste");
    auto s = std::make_unique<TableSource>(std::move(rows));
    source = s.get();
    provider.SetSource(std::move(s));
    provider.SetOptions(options);
    cds.SetName("CAjuste");
    cds.ProviderName = "pajuste";  // found without regard to letter case
    cds.PacketRecords = 1000;
  }
  void Open() { OpenCounting(cds, provider, requests); }
  int Visible() { return VisibleRows(cds); }

  TComponent owner;
  TDataSetProvider provider{&owner};
  TClientDataSet cds{&owner};
  TableSource* source = nullptr;
  std::vector<std::pair<int, int>> requests;
};

using Requests = std::vector<std::pair<int, int>>;

template <typename E>
std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const E& e) {
    return e.Message();
  }
  return "(nothing raised)";
}

}  // namespace clienttest
